// The collected body grows as chunks arrive; when memory for it runs out the
// fetch keeps what it has and stops instead of crashing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "page_fetcher.h"

namespace corvane::net {

// Appends `size` bytes to `body`. False when memory ran out: `body` then
// still holds everything appended before, and reading should stop.
bool AppendChunk(ByteBuffer& body, const char* data, std::size_t size) noexcept;

// Makes room for the body a response announces, so that a large body is
// written once instead of being copied at every doubling. Only a hint: a
// length beyond what is sensible to set aside, or memory that cannot be had,
// leaves the body to grow as chunks arrive.
void ReserveAnnounced(ByteBuffer& body, std::optional<std::uint64_t> announced) noexcept;

}  // namespace corvane::net
