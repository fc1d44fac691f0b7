// The process-wide fetch client that every lookup query uses.
#pragma once

#include "page_fetcher.h"

namespace corvane::app {

// Set up with the process's static objects; it opens on the first fetch and
// closes while the process exits.
PageFetcher& LookupFetcher();

}  // namespace corvane::app
