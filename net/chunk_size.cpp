#include "chunk_size.h"

namespace corvane::net {
namespace {

// Past this the number stops growing, so it can never overflow.
constexpr std::int64_t kSaturation = std::int64_t{1} << 48;

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Like atoi: leading white space, an optional sign, digits up to the first
// other character (none: 0); saturating instead of overflowing.
std::int64_t LengthNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t n = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (n < kSaturation) n = n * 10 + (text[i] - '0');
    }
    return negative ? -n : n;
}

// The number when the text can be fetched at all (shorter than its area).
std::optional<std::int64_t> FetchedNumber(std::optional<std::string_view> content_length) {
    if (!content_length || content_length->size() >= kLengthAreaSize) return std::nullopt;
    return LengthNumber(*content_length);
}

}  // namespace

std::uint32_t ChunkSizeFor(std::optional<std::string_view> content_length) {
    const std::optional<std::int64_t> n = FetchedNumber(content_length);
    if (!n || *n <= 0) return kDefaultChunkSize;
    if (*n >= kLargestChunkSize) return kLargestChunkSize;
    return static_cast<std::uint32_t>(*n + 1);
}

std::optional<std::uint64_t> AnnouncedLength(std::optional<std::string_view> content_length) {
    const std::optional<std::int64_t> n = FetchedNumber(content_length);
    if (!n || *n <= 0) return std::nullopt;
    return static_cast<std::uint64_t>(*n);
}

}  // namespace corvane::net
