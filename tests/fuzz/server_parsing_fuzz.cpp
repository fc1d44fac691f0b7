// libFuzzer target: a request target as the server receives it, through the
// query-string decoding and the strict address parsing. Nothing may read out
// of bounds, and an address that parses must print and parse back to itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ip_address.h"
#include "query_string.h"
#include "special_ranges.h"

namespace {

void CheckAddress(std::string_view text) {
    const auto address = corvane::server::ParseIpAddress(text);
    if (!address) return;
    const auto again = corvane::server::ParseIpAddress(address->ToString());
    if (!again || !(*again == *address)) std::abort();
    const sockaddr_storage socket_address = address->ToSockaddr();
    if (corvane::server::FromSockaddr(reinterpret_cast<const sockaddr*>(&socket_address)) != address) std::abort();
    const auto* range = corvane::server::FindSpecialRange(*address);
    if (range != nullptr && range->name.empty()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Exactly sized copy, so any read past the end is caught.
    const std::string target(reinterpret_cast<const char*>(data), size);
    const auto parts = corvane::server::SplitTarget(target);
    const auto ip = corvane::server::QueryParameter(parts.query, "ip");
    (void)corvane::server::QueryParameter(parts.query, "key");
    CheckAddress(corvane::server::PercentDecode(target));
    if (!ip) return 0;
    std::string_view rest = *ip;
    while (true) {
        const auto comma = rest.find(',');
        CheckAddress(rest.substr(0, comma));
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    return 0;
}
