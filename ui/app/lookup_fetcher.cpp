#include "lookup_fetcher.h"

#if CORVANE_HAVE_NET
#include "page_fetch.h"
#endif

namespace corvane::app {

namespace {

#if CORVANE_HAVE_NET
NetPageFetcher g_fetcher;
#else
// A build without the network part: every query gets an empty reply.
class NoNetwork final : public PageFetcher {
public:
    ByteBuffer Fetch(std::string_view) override { return {}; }
};
NoNetwork g_fetcher;
#endif

}  // namespace

PageFetcher& LookupFetcher() { return g_fetcher; }

}  // namespace corvane::app
