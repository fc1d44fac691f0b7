#include "fetch_url.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace corvane::net {
namespace {

constexpr std::string_view kSchemeEnd = "://";
constexpr std::uint16_t kHttpPort = 80;
constexpr std::uint16_t kHttpsPort = 443;

bool IsSchemeChar(char c, bool first) {
    const auto u = static_cast<unsigned char>(c);
    return std::isalpha(u) || (!first && (std::isdigit(u) || c == '+' || c == '-' || c == '.'));
}

// The length of "scheme" in "scheme://...", or 0 when the text has none.
std::size_t SchemeLength(std::string_view url) {
    const std::size_t end = url.find(kSchemeEnd);
    if (end == std::string_view::npos || end == 0) return 0;
    for (std::size_t i = 0; i < end; ++i) {
        if (!IsSchemeChar(url[i], i == 0)) return 0;
    }
    return end;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// Resolves "." and ".." segments of an absolute path, as a browser does.
std::string RemoveDotSegments(std::string_view path) {
    std::vector<std::string_view> kept;
    bool ends_in_directory = false;
    std::size_t start = 1;  // past the leading "/"
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view segment = path.substr(start, end - start);
        const bool last = end == path.size();
        if (segment == ".") {
            ends_in_directory = last;
        } else if (segment == "..") {
            if (!kept.empty()) kept.pop_back();
            ends_in_directory = last;
        } else {
            kept.push_back(segment);
            ends_in_directory = false;
        }
        start = end + 1;
    }
    std::string out;
    for (const std::string_view segment : kept) out.append("/").append(segment);
    if (ends_in_directory || out.empty()) out.push_back('/');
    return out;
}

// Splits after the authority: the first "/" or "?" ends it.
std::size_t AuthorityEnd(std::string_view url, std::size_t start) {
    const std::size_t end = url.find_first_of("/?", start);
    return end == std::string_view::npos ? url.size() : end;
}

bool FitsArea(std::string_view part, std::size_t area) { return part.size() < area; }

}  // namespace

std::string_view CutFragment(std::string_view url) { return url.substr(0, url.find('#')); }

std::optional<std::string> CanonicalizeUrl(std::string_view url) {
    const std::size_t scheme = SchemeLength(url);
    if (scheme == 0) return std::nullopt;
    const std::size_t authority = scheme + kSchemeEnd.size();
    const std::size_t path_start = AuthorityEnd(url, authority);
    std::string out = Lower(url.substr(0, scheme));
    out.append(url.substr(scheme, path_start - scheme));
    const std::size_t query = std::min(url.find('?', path_start), url.size());
    const std::string_view path = url.substr(path_start, query - path_start);
    if (!path.empty()) out.append(RemoveDotSegments(path));
    out.append(url.substr(query));
    return out;
}

std::optional<UrlParts> CrackUrl(std::string_view url) {
    const std::size_t scheme_length = SchemeLength(url);
    if (scheme_length == 0) return std::nullopt;
    UrlParts parts;
    const std::string scheme = Lower(url.substr(0, scheme_length));
    parts.scheme = scheme == "http" ? Scheme::kHttp : scheme == "https" ? Scheme::kHttps : Scheme::kOther;

    const std::size_t start = scheme_length + kSchemeEnd.size();
    const std::size_t end = AuthorityEnd(url, start);
    std::string_view authority = url.substr(start, end - start);
    const std::string_view object_path = url.substr(end);

    const std::size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        const std::string_view credentials = authority.substr(0, at);
        const std::size_t colon = credentials.find(':');
        const std::string_view user = credentials.substr(0, colon);
        const std::string_view password =
            colon == std::string_view::npos ? std::string_view{} : credentials.substr(colon + 1);
        if (!FitsArea(user, kUserNameArea) || !FitsArea(password, kPasswordArea)) return std::nullopt;
        parts.user = user;
        parts.password = password;
        authority.remove_prefix(at + 1);
    }

    std::size_t colon = authority.rfind(':');
    if (colon != std::string_view::npos && authority.find(']', colon) != std::string_view::npos) {
        colon = std::string_view::npos;  // inside an IPv6 literal such as [::1]
    }
    const std::string_view host = authority.substr(0, colon);
    if (colon != std::string_view::npos) {
        unsigned long port = 0;
        for (const char c : authority.substr(colon + 1)) {
            if (c < '0' || c > '9') return std::nullopt;
            port = port * 10 + static_cast<unsigned long>(c - '0');
            if (port > 0xFFFF) return std::nullopt;
        }
        parts.port = static_cast<std::uint16_t>(port);
    }
    if (host.empty() || !FitsArea(host, kHostNameArea) || !FitsArea(object_path, kObjectPathArea)) {
        return std::nullopt;
    }
    parts.host = host;
    parts.object_path = object_path;
    return parts;
}

std::uint16_t EffectivePort(const UrlParts& parts) {
    if (parts.port != 0) return parts.port;
    return parts.scheme == Scheme::kHttps ? kHttpsPort : kHttpPort;
}

}  // namespace corvane::net
