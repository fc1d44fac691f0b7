#include "page_fetch.h"

#include <new>

#include "fetch_client.h"

namespace corvane {

ByteBuffer PageFetch(std::string_view url) {
    if (url.empty()) return {};  // nothing is opened, the client stays as it is
    try {
        return net::FetchWithClient(url);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

}  // namespace corvane
