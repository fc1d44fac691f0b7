// An https server whose certificate nobody vouches for: the fetch does not
// waive the error, so nothing is received. The server comes from
// with_tls_server.sh, which also checks that it answers when the
// certificate is accepted.
#include "page_fetch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace corvane {
namespace {

TEST(PageFetchTls, SelfSignedCertificateGivesAnEmptyResult) {
    const char* port = std::getenv("CORVANE_TLS_PORT");
    ASSERT_NE(port, nullptr) << "run through tests/net/with_tls_server.sh";
    const ByteBuffer body = PageFetch(std::string("https://127.0.0.1:") + port + "/");
    EXPECT_EQ(std::string(body.begin(), body.end()), "");
}

}  // namespace
}  // namespace corvane
