// Address ranges that are not on the public internet and so have no location:
// answered by name without a database lookup.
#pragma once

#include <string_view>

#include "ip_address.h"

namespace corvane::server {

struct SpecialRange {
    std::string_view prefix;  // "10.0.0.0/8"
    std::string_view name;    // Chinese name, UTF-8: "私有网络地址"
    std::string_view note;    // Chinese explanation, UTF-8
};

// The most specific special range holding the address, nullptr for a public one.
const SpecialRange* FindSpecialRange(const IpAddress& address);

}  // namespace corvane::server
