// The one process-wide fetch client: closed at start, opened by the first
// fetch that needs it, closed when the process ends.
#pragma once

namespace corvane::net {

struct FetchClientState {
    bool open = false;
    int opened_times = 0;  // successful openings since the process started
};

// For tests: whether the client is open and how often it was opened.
FetchClientState GetFetchClientState();

}  // namespace corvane::net
