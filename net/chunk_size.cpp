#include "chunk_size.h"

namespace corvane::net {
namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

std::uint32_t ChunkSizeFor(std::optional<std::string_view> content_length) {
    if (!content_length || content_length->size() >= kLengthAreaSize) return kDefaultChunkSize;
    std::string_view text = *content_length;
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // Past the largest chunk every value gives the same answer, so the number
    // stops growing there and cannot overflow.
    std::uint64_t n = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (n <= kLargestChunkSize) n = n * 10 + static_cast<std::uint64_t>(text[i] - '0');
    }
    if (negative || n == 0) return kDefaultChunkSize;
    if (n >= kLargestChunkSize) return kLargestChunkSize;
    return static_cast<std::uint32_t>(n + 1);
}

}  // namespace corvane::net
