// Which reply a request gets: /getip, /key (page and issue), and the errors.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "ip_address.h"
#include "key_page.h"
#include "location_data.h"
#include "region_names.h"
#include "reply.h"

namespace corvane::keys {
class KeyService;
}

namespace corvane::server {

struct Request {
    std::string_view method;   // "GET", "POST", …
    std::string_view target;   // "/getip?ip=…"
    std::string_view accept;   // the Accept header, may be empty
    std::optional<IpAddress> client;
};

class Router {
public:
    Router(corvane::keys::KeyService& keys, const LocationStore& data, const RegionNames& names,
           const KeyPageFacts& facts)
        : keys_(keys), data_(data), names_(names), facts_(facts) {}

    Reply Handle(const Request& request) const;

private:
    Reply IssueKey(const Request& request) const;

    corvane::keys::KeyService& keys_;
    const LocationStore& data_;
    const RegionNames& names_;
    KeyPageFacts facts_;
};

// The GBK text replies for requests that never reach a route.
Reply BadRequestReply();
Reply UriTooLongReply();
Reply HeadersTooLargeReply();
Reply BodyTooLargeReply();
Reply TimeoutReply();
Reply OverloadedReply();

}  // namespace corvane::server
