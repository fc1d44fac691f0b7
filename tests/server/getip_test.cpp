// /getip against the real server and the real data: what the tool shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "http_client.h"
#include "server_process.h"

namespace corvane::server::testing {
namespace {

class GetipTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = ServerProcess::Start({"--daily-quota", "100000", "--burst", "100000", "--refill", "100000"})
                      .release();
        if (server_ != nullptr) key_ = IssueKey(server_->port());
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override { ASSERT_NE(server_, nullptr); }

    // The reply body as UTF-8, with the status checked.
    static std::string Lookup(std::string_view ip, int expected_status = 200) {
        const Reply reply = Get(server_->port(), "/getip?ip=" + std::string(ip) + "&key=" + key_);
        EXPECT_EQ(reply.status, expected_status) << ip << "\n" << GbkToUtf8(reply.body);
        return GbkToUtf8(reply.body);
    }

    static ServerProcess* server_;
    static std::string key_;
};

ServerProcess* GetipTest::server_ = nullptr;
std::string GetipTest::key_;

TEST_F(GetipTest, KnownAddressesInChineseAndGbk) {
    struct Case {
        const char* ip;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"8.8.8.8", {"IP: 8.8.8.8", "国家: 美国 (US)", "地区: 加利福尼亚州", "网络: AS15169 Google LLC"}},
        {"202.96.128.86", {"国家: 中国 (CN)", "地区: 广东省", "城市: Guangzhou", "网络: AS4134"}},
        {"1.1.1.1", {"网络: AS13335 Cloudflare, Inc."}},
        {"2001:4860:4860::8888", {"IP: 2001:4860:4860::8888", "网络: AS15169 Google LLC"}},
    };
    for (const Case& c : cases) {
        const Reply reply = Get(server_->port(), "/getip?ip=" + std::string(c.ip) + "&key=" + key_);
        EXPECT_EQ(reply.status, 200);
        EXPECT_EQ(reply.Header("Content-Type"), "text/plain; charset=GBK");
        const std::string text = GbkToUtf8(reply.body);
        for (const auto& line : c.lines) {
            EXPECT_NE(("<br>" + text + "<br>").find("<br>" + line), std::string::npos) << c.ip << ": " << line << "\n" << text;
        }
        EXPECT_NE(text.find("经纬度: "), std::string::npos) << text;
        EXPECT_NE(text.find("IP Geolocation by DB-IP (https://db-ip.com)"), std::string::npos) << text;
        EXPECT_NE(text.find("今日剩余查询次数: "), std::string::npos) << text;
    }
}

TEST_F(GetipTest, SpecialRangesAnsweredWithoutLocation) {
    const std::pair<const char*, const char*> cases[] = {
        {"192.168.1.1", "私有网络地址"}, {"127.0.0.1", "本机回环地址"},   {"100.64.0.1", "运营商级 NAT 共享地址"},
        {"169.254.3.4", "链路本地地址"}, {"203.0.113.9", "文档示例地址"}, {"239.1.2.3", "组播地址"},
        {"fd12::1", "唯一本地地址"},     {"::1", "本机回环地址"},
    };
    for (const auto& [ip, name] : cases) {
        const std::string text = Lookup(ip);
        EXPECT_NE(text.find("类型: " + std::string(name)), std::string::npos) << text;
        EXPECT_EQ(text.find("国家"), std::string::npos) << text;
    }
}

TEST_F(GetipTest, EmptyAddressAnswersForTheCaller) {
    for (const std::string& target : {"/getip?ip=&key=" + key_, "/getip?key=" + key_}) {
        const std::string text = GbkToUtf8(Get(server_->port(), target).body);
        EXPECT_EQ(text.rfind("IP: 127.0.0.1（你的地址）<br>类型: 本机回环地址", 0), 0u) << text;
    }
}

TEST_F(GetipTest, CommaListAnswersEachInTurnAndCountsEach) {
    const std::string first = Lookup("8.8.8.8");
    const std::string text = Lookup("8.8.8.8,%201.1.1.1%20,,2001:4860:4860::8888,10.0.0.1");
    const auto a = text.find("IP: 8.8.8.8<br>");
    const auto b = text.find("<br><br>IP: 1.1.1.1<br>");
    const auto c = text.find("<br><br>IP: 2001:4860:4860::8888<br>");
    const auto d = text.find("<br><br>IP: 10.0.0.1<br>");
    EXPECT_TRUE(a == 0 && a < b && b < c && c < d && d != std::string::npos) << text;

    const auto Remaining = [](const std::string& reply) {
        return std::stoul(reply.substr(reply.rfind(": ") + 2));
    };
    EXPECT_EQ(Remaining(first) - Remaining(text), 4u);

    std::string many = "1.1.1.1";
    for (int i = 0; i < 20; ++i) many += ",1.1.1.1";
    EXPECT_NE(Lookup(many, 400).find("一次最多查询 20 个地址"), std::string::npos);
}

TEST_F(GetipTest, MalformedAddressesRefusedClearly) {
    // Forms inet_aton or getaddrinfo would take but a person rarely means,
    // and plain mistakes; "%20" and "+" around an address are trimmed, inside it they are not.
    for (const char* ip : {"1.2.3", "256.1.1.1", "1.1.1.one", "01.2.3.4", "127.1", "0x7f.0.0.1", "2130706433",
                           "1.2.3.4.5", "8.8.8.8/24", "fe80::1%25eth0", "1::2::3", "8.8%208.8", "example.com",
                           "%D6%D0%B9%FA", "8.8.8.8%00"}) {
        const std::string text = Lookup(ip, 400);
        EXPECT_EQ(text.rfind("错误: 地址格式不正确: “", 0), 0u) << ip << ": " << text;
    }
    EXPECT_NE(Lookup("%D6%D0<br>", 400).find("“???br?”"), std::string::npos) << "client bytes are not echoed raw";
    EXPECT_NE(Lookup("%208.8.8.8+").find("IP: 8.8.8.8<br>"), std::string::npos);
    EXPECT_NE(Lookup("%3A%3Affff%3A8.8.8.8").find("IP: 8.8.8.8<br>"), std::string::npos);
}

TEST_F(GetipTest, KeyErrorsAndUnknownPaths) {
    const auto Body = [](std::string_view target, int status) {
        const Reply reply = Get(server_->port(), target);
        EXPECT_EQ(reply.status, status) << target;
        return GbkToUtf8(reply.body);
    };
    EXPECT_NE(Body("/getip?ip=8.8.8.8", 401).find("缺少访问密钥"), std::string::npos);
    EXPECT_NE(Body("/getip?ip=8.8.8.8&key=", 401).find("缺少访问密钥"), std::string::npos);
    // A malformed key and a well-formed unknown one get the same answer.
    std::string unknown = key_;
    unknown.back() = unknown.back() == 'A' ? 'B' : 'A';
    const std::string malformed = Body("/getip?ip=8.8.8.8&key=nonsense", 403);
    EXPECT_EQ(Body("/getip?ip=8.8.8.8&key=" + unknown, 403), malformed);
    EXPECT_NE(malformed.find("访问密钥无效"), std::string::npos);
    EXPECT_NE(Body("/getip/x?ip=8.8.8.8&key=" + key_, 404).find("没有这个页面"), std::string::npos);
    EXPECT_NE(Body("/favicon.ico", 404).find("没有这个页面"), std::string::npos);
}

}  // namespace
}  // namespace corvane::server::testing
