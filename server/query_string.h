// The request target's path and query, and the query's parameters.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace corvane::server {

struct Target {
    std::string_view path;
    std::string_view query;  // without the "?"; empty when there is none
};

// Splits "/path?query" at the first "?".
Target SplitTarget(std::string_view target);

// Decodes "%XX" escapes and "+" (a space in form encoding). The tool sends
// its texts unencoded, so a "%" without two hexadecimal digits after it is
// kept as it is rather than refused.
std::string PercentDecode(std::string_view text);

// The decoded value of the first parameter called `name` (decoded as well),
// std::nullopt when the query has none. "a=1&b" gives "" for b.
std::optional<std::string> QueryParameter(std::string_view query, std::string_view name);

}  // namespace corvane::server
