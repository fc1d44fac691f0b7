// The URL handling of a fetch: the cut at "#", canonical form and the parts a
// request is made from, with the size limit of each part.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvane::net {

// Sizes of the areas the URL's parts are taken into, each counting a
// terminator: a part may hold one character less.
inline constexpr std::size_t kHostNameArea = 256;
inline constexpr std::size_t kObjectPathArea = 2048;
inline constexpr std::size_t kUserNameArea = 128;
inline constexpr std::size_t kPasswordArea = 128;
// The first area offered for the canonical URL; a longer one gets a second try.
inline constexpr std::size_t kCanonicalUrlArea = 2084;

enum class Scheme { kHttp, kHttps, kOther };

struct UrlParts {
    Scheme scheme = Scheme::kOther;
    std::string host;
    std::uint16_t port = 0;  // as written; 0 when absent or empty
    std::string user;
    std::string password;
    std::string object_path;  // path and query, never a fragment
};

// Everything before the first "#": the fragment is never sent.
std::string_view CutFragment(std::string_view url);

// "." and ".." segments of the path resolved; nothing percent-encoded or
// decoded, so spaces, "&", bytes above 127 and escapes stay as written.
// Nothing for a text without a scheme followed by "://".
std::optional<std::string> CanonicalizeUrl(std::string_view url);

// The parts of a canonical URL; nothing when it is malformed or a part is
// longer than its area allows. A scheme other than http(s) is only named.
std::optional<UrlParts> CrackUrl(std::string_view url);

// The port a request goes to: the written one, or the scheme's default.
std::uint16_t EffectivePort(const UrlParts& parts);

}  // namespace corvane::net
