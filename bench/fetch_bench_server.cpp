// Serves the fetch benchmark's two replies from the fixture server until it
// is stopped: /short, a lookup-sized reply, and /large, a 50 MB body.
// Prints the port it listens on.
#include <cstdio>
#include <memory>
#include <string>

#include "test_http_server.h"

namespace {

constexpr std::size_t kLargeBodyBytes = 50u * 1000 * 1000;
constexpr char kShortReply[] = "IP: 203.0.113.7<br>Country: CN<br>City: Beijing<br>";

}  // namespace

int main() {
    using corvane::testing::Request;
    using corvane::testing::Response;
    auto large = std::make_shared<std::string>(kLargeBodyBytes, '\0');
    for (std::size_t i = 0; i < large->size(); ++i) (*large)[i] = static_cast<char>('a' + i % 26);

    corvane::testing::TestHttpServer server([large](const Request& request) {
        Response response = Response::Text(kShortReply);
        if (request.RequestLine().find("/large") != std::string::npos) {
            response.body.clear();
            response.shared_body = large;
        }
        return response;
    });
    std::printf("%u\n", static_cast<unsigned>(server.Listen()));
    std::fflush(stdout);
    // Runs until its input closes; the server stops cleanly on the way out.
    while (std::getchar() != EOF) {
    }
    return 0;
}
