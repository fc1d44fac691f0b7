// Who a key issuance is counted against. An IPv6 host usually holds a whole
// /64 and can pick any address in it, so IPv6 clients are grouped by /64;
// an IPv4-mapped IPv6 address counts as its IPv4 address.
#pragma once

#include <string>
#include <string_view>

namespace corvane::keys {

std::string IssuanceClient(std::string_view client_address);

}  // namespace corvane::keys
