// The one process-wide fetch client: closed at start, opened by the first
// fetch that needs it, closed when the process ends.
#pragma once

#include <string_view>

#include "page_fetcher.h"

namespace corvane::net {

struct FetchClientState {
    bool open = false;
    int opened_times = 0;  // successful openings since the process started
};

// For tests: whether the client is open and how often it was opened.
FetchClientState GetFetchClientState();

// The platform's fetch of a non-empty URL through the client. Only the URL's
// copies and parts allocate before the body, so a std::bad_alloc it lets out
// means nothing was received; handles opened so far close on the way out.
ByteBuffer FetchWithClient(std::string_view url);

}  // namespace corvane::net
