// The HTTP front: limits, slow clients, pipelining, keep-alive, signals.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "http_client.h"
#include "server_process.h"

namespace corvane::server::testing {
namespace {

using namespace std::chrono_literals;

constexpr int kHeaderTimeoutMs = 1500;
constexpr int kPerClientConnections = 12;
constexpr int kKeepAliveRequests = 40;

class HttpLimitsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = ServerProcess::Start({"--header-timeout-ms", std::to_string(kHeaderTimeoutMs),
                                        "--keepalive-requests", std::to_string(kKeepAliveRequests), "--max-connections-per-client",
                                        std::to_string(kPerClientConnections), "--daily-quota", "100000",
                                        "--burst", "100000", "--refill", "100000"})
                      .release();
        if (server_ != nullptr) key_ = IssueKey(server_->port());
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override { ASSERT_NE(server_, nullptr); }

    static std::string KeepAliveRequest(std::string_view ip) {
        return "GET /getip?ip=" + std::string(ip) + "&key=" + key_ + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    }

    static ServerProcess* server_;
    static std::string key_;
};

ServerProcess* HttpLimitsTest::server_ = nullptr;
std::string HttpLimitsTest::key_;

TEST_F(HttpLimitsTest, EveryPortAnswersAndHttp10Closes) {
    for (const std::uint16_t port : server_->ports()) {
        Connection connection(port);
        connection.Send(ToolRequest("/getip?ip=8.8.8.8&key=" + key_));
        const std::string all = connection.ReceiveAll();
        EXPECT_EQ(all.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << port;
        EXPECT_NE(all.find("\r\nConnection: close\r\n"), std::string::npos);
    }
}

TEST_F(HttpLimitsTest, RequestsOverTheLimitsGetClearReplies) {
    const std::string long_target = "/getip?ip=" + std::string(9000, '1') + "&key=" + key_;
    std::string many_fields = "GET /key HTTP/1.1\r\nHost: x\r\n";
    for (int i = 0; i < 120; ++i) many_fields += "X-Field-" + std::to_string(i) + ": 1\r\n";
    std::string big_fields = "GET /key HTTP/1.1\r\nHost: x\r\n";
    for (int i = 0; i < 40; ++i) big_fields += "X-Field-" + std::to_string(i) + ": " + std::string(500, 'a') + "\r\n";
    struct Case {
        std::string request;
        int status;
        const char* text;
    };
    const Case cases[] = {
        {"GET " + long_target + " HTTP/1.1\r\nHost: x\r\n\r\n", 414, "请求地址太长"},
        {"GET " + std::string(20000, 'a') + " HTTP/1.1\r\n\r\n", 414, "请求地址太长"},
        {many_fields + "\r\n", 431, "请求头太大或太多"},
        {big_fields + "\r\n", 431, "请求头太大或太多"},
        {"PUT /key HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n", 405, "不支持这种请求方法"},
        {"HEAD /key HTTP/1.1\r\nHost: x\r\n\r\n", 405, "不支持这种请求方法"},
        {"POST /getip?ip=8.8.8.8 HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n", 405, "不支持这种请求方法"},
        {"POST /key HTTP/1.1\r\nHost: x\r\nContent-Length: 100000\r\n\r\n", 413, "请求内容太大"},
        // What a space typed into the address box makes of the request line.
        {"GET /getip?ip= 8.8.8.8&key=" + key_ + " HTTP/1.0\r\n\r\n", 400, "请求格式不正确"},
        {"GET /getip?ip=8.8.8.8\x01&key=x HTTP/1.0\r\n\r\n", 400, "请求格式不正确"},
        {"\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03\r\n\r\n", 400, "请求格式不正确"},
    };
    for (const Case& c : cases) {
        Connection connection(server_->port(1));
        connection.Send(c.request);
        const Reply reply = connection.ReceiveReply();
        EXPECT_EQ(reply.status, c.status) << c.request.substr(0, 60);
        EXPECT_NE(GbkToUtf8(reply.body).find(c.text), std::string::npos) << c.request.substr(0, 60);
        if (c.status == 405) {
            EXPECT_FALSE(reply.Header("Allow").empty());
        }
    }
}

TEST_F(HttpLimitsTest, DrippingClientsDoNotHoldUpOthersAndAreCutOff) {
    // More dripping clients than the server has threads.
    std::vector<std::unique_ptr<Connection>> drippers;
    for (int i = 0; i < 4; ++i) drippers.push_back(std::make_unique<Connection>(server_->port()));
    std::atomic<bool> stop{false};
    std::thread dripper([&] {
        const std::string request = "GET /getip?ip=8.8.8.8&key=" + key_ + " HTTP/1.1\r\nHost: x\r\n";
        for (std::size_t i = 1; i < request.size() && !stop; ++i) {
            for (auto& connection : drippers) connection->Send(request.substr(i, 1));
            std::this_thread::sleep_for(50ms);
        }
    });
    for (auto& connection : drippers) ASSERT_TRUE(connection->Send("G"));

    const auto start = std::chrono::steady_clock::now();
    Connection normal(server_->port());
    normal.Send(ToolRequest("/getip?ip=8.8.8.8&key=" + key_));
    const Reply reply = normal.ReceiveReply(1s);
    EXPECT_EQ(reply.status, 200);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);

    // The whole head has a deadline, however steadily the bytes come.
    const Reply cut = drippers.front()->ReceiveReply(std::chrono::milliseconds(kHeaderTimeoutMs) + 10s);
    stop = true;
    dripper.join();
    EXPECT_EQ(cut.status, 408);
}

TEST_F(HttpLimitsTest, TwoRequestsInOnePacketGetTwoRepliesInOrder) {
    Connection connection(server_->port());
    ASSERT_TRUE(connection.Send(KeepAliveRequest("8.8.8.8") + KeepAliveRequest("1.1.1.1")));
    const Reply first = connection.ReceiveReply();
    const Reply second = connection.ReceiveReply();
    EXPECT_EQ(GbkToUtf8(first.body).rfind("IP: 8.8.8.8<br>", 0), 0u);
    EXPECT_EQ(GbkToUtf8(second.body).rfind("IP: 1.1.1.1<br>", 0), 0u);
}

TEST_F(HttpLimitsTest, KeepAliveRepliesShowNoNagleStallAndTheRequestCapCloses) {
    // A reply written in two pieces waits for the client's delayed ACK
    // (40 ms on Linux) on most requests after the first: 40 would take over a second.
    Connection connection(server_->port());
    const auto start = std::chrono::steady_clock::now();
    for (int i = 1; i <= kKeepAliveRequests; ++i) {
        connection.Send(KeepAliveRequest("8.8.8.8"));
        const Reply reply = connection.ReceiveReply();
        ASSERT_EQ(reply.status, 200) << i;
        EXPECT_EQ(reply.Header("Connection"), i < kKeepAliveRequests ? "keep-alive" : "close") << i;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_EQ(connection.ReceiveAll(), "");  // the server closed after its last reply
}

TEST_F(HttpLimitsTest, ConnectionsPerClientAreBounded) {
    // A client address of its own, so that other tests' connections do not count.
    constexpr const char* kClient = "127.0.0.77";
    std::vector<std::unique_ptr<Connection>> open;
    for (int i = 0; i < kPerClientConnections; ++i) {
        open.push_back(std::make_unique<Connection>(server_->port(), kClient));
        // A reply proves that the server counts this connection.
        open.back()->Send(KeepAliveRequest("8.8.8.8"));
        ASSERT_EQ(open.back()->ReceiveReply().status, 200);
    }
    Connection refused(server_->port(), kClient);
    EXPECT_EQ(refused.ReceiveReply().status, 503);
    Connection other_client(server_->port(), "127.0.0.78");
    other_client.Send(ToolRequest("/getip?ip=8.8.8.8&key=" + key_));
    EXPECT_EQ(other_client.ReceiveReply().status, 200);

    open.pop_back();
    // The slot is given back once the server sees the close.
    for (int attempt = 0; attempt < 500; ++attempt) {
        Connection again(server_->port(), kClient);
        again.Send(ToolRequest("/getip?ip=8.8.8.8&key=" + key_));
        if (again.ReceiveReply().status == 200) return;
        std::this_thread::sleep_for(10ms);
    }
    ADD_FAILURE() << "a closed connection's slot was never given back";
}

TEST(ServerSignalsTest, ReloadOnSighupKeepsServingAndSigtermFinishesRequestsInFlight) {
    auto server = ServerProcess::Start({"--daily-quota", "100000", "--burst", "100000", "--refill", "100000"});
    ASSERT_NE(server, nullptr);
    const std::string key = IssueKey(server->port());
    server->Signal(SIGHUP);
    // Lookups go on, and keep their answers, while the new data loads and replaces the old.
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (server->Log().find("data reloaded") == std::string::npos) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << server->Log();
        const Reply reply = Get(server->port(), "/getip?ip=8.8.8.8&key=" + key);
        ASSERT_EQ(reply.status, 200);
        EXPECT_NE(GbkToUtf8(reply.body).find("国家: 美国 (US)"), std::string::npos);
    }
    EXPECT_EQ(Get(server->port(), "/getip?ip=8.8.8.8&key=" + key).status, 200);

    // SIGTERM: no new connections, but a request under way is still answered.
    Connection idle(server->port());
    Connection in_flight(server->port());
    const std::string request = "GET /getip?ip=8.8.8.8&key=" + key + " HTTP/1.1\r\nHost: x\r\n";
    // A first reply shows that the server has accepted the connection.
    ASSERT_TRUE(in_flight.Send(request + "\r\n"));
    ASSERT_EQ(in_flight.ReceiveReply().status, 200);
    ASSERT_TRUE(in_flight.Send(request));
    server->Signal(SIGTERM);
    const auto refused_by = std::chrono::steady_clock::now() + 10s;
    while (Connection(server->port(1)).connected()) {
        ASSERT_LT(std::chrono::steady_clock::now(), refused_by) << "still accepting after SIGTERM";
        std::this_thread::sleep_for(5ms);
    }
    in_flight.Send("\r\n");
    const Reply last = in_flight.ReceiveReply();
    EXPECT_EQ(last.status, 200);
    EXPECT_EQ(last.Header("Connection"), "close");
    const int status = server->Wait();  // the idle connection does not hold it up for long
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

}  // namespace
}  // namespace corvane::server::testing
