#include "query_string.h"

namespace corvane::server {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

Target SplitTarget(std::string_view target) {
    const auto mark = target.find('?');
    if (mark == std::string_view::npos) return {target, {}};
    return {target.substr(0, mark), target.substr(mark + 1)};
}

std::string PercentDecode(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            decoded += ' ';
        } else if (c == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
                   HexValue(text[i + 2]) >= 0) {
            decoded += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            decoded += c;
        }
    }
    return decoded;
}

std::optional<std::string> QueryParameter(std::string_view query, std::string_view name) {
    while (true) {
        const auto end = query.find('&');
        const std::string_view piece = query.substr(0, end);
        const auto equals = piece.find('=');
        const std::string_view raw_name = piece.substr(0, equals);
        // Names are rarely encoded: decode only when they could be.
        const bool encoded = raw_name.find_first_of("%+") != std::string_view::npos;
        if (!piece.empty() && (encoded ? PercentDecode(raw_name) == name : raw_name == name)) {
            if (equals == std::string_view::npos) return std::string();
            return PercentDecode(piece.substr(equals + 1));
        }
        if (end == std::string_view::npos) return std::nullopt;
        query.remove_prefix(end + 1);
    }
}

}  // namespace corvane::server
