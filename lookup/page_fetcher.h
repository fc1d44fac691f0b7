// The seam between the lookup query and the network: the query only needs
// "URL in, body bytes out", so tests can stand in a fake for the real fetch.
#pragma once

#include <string_view>
#include <vector>

namespace corvane {

// A counted sequence of bytes, no terminator; empty when nothing arrived.
using ByteBuffer = std::vector<char>;

class PageFetcher {
public:
    virtual ~PageFetcher() = default;
    // Never fails loudly: any failure shows only as a shorter or empty body.
    virtual ByteBuffer Fetch(std::string_view url) = 0;
};

}  // namespace corvane
