// The page fetch: one blocking HTTP GET, the response body as bytes.
#pragma once

#include <string_view>

#include "page_fetcher.h"

namespace corvane {

// Fetches `url` and returns the response body exactly as received (any
// status). Never fails loudly: a failure shows only as a shorter or empty
// body. All fetches share one process-wide fetch client; two fetches must not
// run at the same time.
ByteBuffer PageFetch(std::string_view url);

// The lookup query's seam onto the real network.
class NetPageFetcher final : public PageFetcher {
public:
    ByteBuffer Fetch(std::string_view url) override { return PageFetch(url); }
};

}  // namespace corvane
