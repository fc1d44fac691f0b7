// The key page: a UTF-8 HTML page that explains the service and issues an
// access key with one button.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace corvane::server {

struct KeyPageFacts {
    std::uint32_t daily_quota = 1000;
    double refill_per_second = 10;
};

// GET /key: the explanation and the button (a form that POSTs to /key).
std::string KeyPageHtml(const KeyPageFacts& facts);

// The answer to the button: the new key, shown once. The key is only letters,
// digits and "_", so it goes into the page as it is.
std::string KeyIssuedHtml(const KeyPageFacts& facts, std::string_view key);

// The answer when no key could be issued: a short message and a way back.
std::string KeyRefusedHtml(std::string_view message);

}  // namespace corvane::server
