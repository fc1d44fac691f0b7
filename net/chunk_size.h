// How much one read asks for, decided from the response's Content-Length.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace corvane::net {

inline constexpr std::uint32_t kDefaultChunkSize = 10240;
inline constexpr std::uint32_t kLargestChunkSize = 102400;
// The Content-Length value is fetched into an area of this many bytes, its
// terminator included, so a value of this length or longer is not seen at all.
inline constexpr std::uint32_t kLengthAreaSize = 32;

// The read size for a response whose Content-Length text is `content_length`
// (nothing: no such header). A known length N gives N + 1 so that the last
// read, which finds the end, needs no second buffer; capped at the largest
// chunk. No header, a value too long to fetch, or a number of 0 or less give
// the default. The number is read like C's atoi: leading white space, an
// optional sign, digits up to the first other character (none: 0); values
// beyond the integer range saturate instead of wrapping.
std::uint32_t ChunkSizeFor(std::optional<std::string_view> content_length);

// The body size announced by a Content-Length text, read by the same rule;
// nothing when the text gives no positive number. Saturates at a value far
// beyond any body that could be kept in memory.
std::optional<std::uint64_t> AnnouncedLength(std::optional<std::string_view> content_length);

}  // namespace corvane::net
