// GET /getip?ip=ADDR[,ADDR…]&key=KEY: where addresses are, as GBK text whose
// lines are separated by "<br>" (the desktop tool turns those into line breaks).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "ip_address.h"
#include "location_data.h"
#include "region_names.h"
#include "reply.h"

namespace corvane::keys {
class KeyService;
}

namespace corvane::server {

// Addresses one request may ask for.
inline constexpr std::size_t kMaxAddressesPerRequest = 20;

struct GetipContext {
    corvane::keys::KeyService& keys;
    const LocationData& data;
    const RegionNames& names;
    std::uint32_t daily_quota;
};

// `query` is the raw query string; `client` the caller's address, answered
// when `ip` is empty.
Reply HandleGetip(const GetipContext& context, std::string_view query,
                  const std::optional<IpAddress>& client);

}  // namespace corvane::server
