// The collected body grows as chunks arrive; when memory for it runs out the
// fetch keeps what it has and stops instead of crashing.
#pragma once

#include <cstddef>

#include "page_fetcher.h"

namespace corvane::net {

// Appends `size` bytes to `body`. False when memory ran out: `body` then
// still holds everything appended before, and reading should stop.
bool AppendChunk(ByteBuffer& body, const char* data, std::size_t size) noexcept;

}  // namespace corvane::net
