#include "body_collector.h"

#include <new>
#include <stdexcept>

namespace corvane::net {

bool AppendChunk(ByteBuffer& body, const char* data, std::size_t size) noexcept {
    try {
        body.insert(body.end(), data, data + size);
        return true;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    // Doubling the capacity asked for more than was there; the exact size
    // may still fit. insert() leaves the body as it was when it throws.
    try {
        body.reserve(body.size() + size);
        body.insert(body.end(), data, data + size);
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace corvane::net
