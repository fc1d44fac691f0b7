// Running out of memory while the body grows: the fetch keeps what it has and
// returns. This program replaces the global operator new so that, while
// armed, any allocation above a limit fails as if memory had run out.
#include "page_fetch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>

#include "test_http_server.h"

namespace {

std::atomic<std::size_t> g_allocation_limit{0};  // 0: no limit

void* Allocate(std::size_t size) {
    const std::size_t limit = g_allocation_limit.load();
    if (limit != 0 && size > limit) throw std::bad_alloc();
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace corvane {
namespace {

using testing::Request;
using testing::Response;

TEST(PageFetchMemory, KeepsWhatFitsWhenTheBodyCannotGrow) {
    constexpr std::size_t kLimit = 1 << 20;
    auto body = std::make_shared<std::string>(5'000'000, '\0');
    for (std::size_t i = 0; i < body->size(); ++i) (*body)[i] = static_cast<char>('a' + i % 23);

    for (const bool announced : {true, false}) {
        SCOPED_TRACE(announced ? "with Content-Length" : "without Content-Length");
        testing::TestHttpServer server([&](const Request&) {
            Response response;
            response.shared_body = body;
            if (!announced) response.length = Response::Length::kNone;
            return response;
        });
        const std::string url = "http://127.0.0.1:" + std::to_string(server.Listen()) + "/big";

        g_allocation_limit = kLimit;
        ByteBuffer got = PageFetch(url);
        g_allocation_limit = 0;

        EXPECT_GT(got.size(), 0u);
        EXPECT_LE(got.size(), kLimit);
        EXPECT_EQ(std::string(got.begin(), got.end()), body->substr(0, got.size()));
    }
}

}  // namespace
}  // namespace corvane
