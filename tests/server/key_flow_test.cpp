// Keys through the real server: the page, issuing, using, running out, and
// what survives a crash.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "http_client.h"
#include "server_process.h"

namespace corvane::server::testing {
namespace {

using namespace std::chrono_literals;

bool IsKeyShaped(const std::string& key) {
    return key.size() >= 22 && std::all_of(key.begin(), key.end(), [](unsigned char c) { return std::isalnum(c) || c == '_'; });
}

std::string LookupTarget(const std::string& key) { return "/getip?ip=8.8.8.8&key=" + key; }

// "今日剩余查询次数: N" at the end of a lookup reply.
long Remaining(const Reply& reply) {
    const std::string text = GbkToUtf8(reply.body);
    const auto mark = text.rfind("今日剩余查询次数: ");
    return mark == std::string::npos ? -1 : std::stol(text.substr(mark + std::string("今日剩余查询次数: ").size()));
}

TEST(KeyFlowTest, PageIssueAndUse) {
    auto server = ServerProcess::Start({"--daily-quota", "5", "--issues-per-hour", "2"});
    ASSERT_NE(server, nullptr);

    const Reply page = Get(server->port(), "/key");
    EXPECT_EQ(page.status, 200);
    EXPECT_EQ(page.Header("Content-Type"), "text/html; charset=utf-8");
    EXPECT_NE(page.body.find("<form method=\"post\" action=\"/key\">"), std::string::npos);
    EXPECT_NE(page.body.find("每个密钥每天可查询 5 次"), std::string::npos);
    EXPECT_NE(page.body.find("https://db-ip.com"), std::string::npos);

    // The button: an HTML page that shows the key once.
    const Reply issued_page = PostKey(server->port(), false);
    EXPECT_EQ(issued_page.status, 200);
    EXPECT_EQ(issued_page.Header("Cache-Control"), "no-store");
    const std::string marker = "<code class=\"key\">";
    const auto start = issued_page.body.find(marker);
    ASSERT_NE(start, std::string::npos);
    const auto end = issued_page.body.find("</code>", start);
    const std::string shown = issued_page.body.substr(start + marker.size(), end - start - marker.size());
    EXPECT_TRUE(IsKeyShaped(shown)) << shown;

    // A script: the key alone.
    const std::string key = IssueKey(server->port());
    EXPECT_TRUE(IsKeyShaped(key)) << key;
    EXPECT_NE(key, shown);

    for (const std::string& k : {shown, key}) {
        const Reply reply = Get(server->port(), LookupTarget(k));
        EXPECT_EQ(reply.status, 200);
        EXPECT_EQ(Remaining(reply), 4);
    }

    // A third key within the hour is refused, on the page and to scripts.
    const Reply refused_page = PostKey(server->port(), false);
    EXPECT_EQ(refused_page.status, 429);
    EXPECT_GT(std::stol("0" + refused_page.Header("Retry-After")), 0);
    EXPECT_NE(refused_page.body.find("领取密钥太频繁"), std::string::npos);
    const Reply refused_plain = PostKey(server->port(), true);
    EXPECT_EQ(refused_plain.status, 429);
    EXPECT_EQ(refused_plain.Header("Content-Type"), "text/plain; charset=utf-8");
}

TEST(KeyFlowTest, QuotaUsedUpAndBurstsRefused) {
    auto server = ServerProcess::Start({"--daily-quota", "3", "--burst", "100", "--refill", "100"});
    ASSERT_NE(server, nullptr);
    const std::string key = IssueKey(server->port());
    for (long expected = 2; expected >= 0; --expected) EXPECT_EQ(Remaining(Get(server->port(), LookupTarget(key))), expected);
    const Reply used_up = Get(server->port(), LookupTarget(key));
    EXPECT_EQ(used_up.status, 429);
    EXPECT_GT(std::stol("0" + used_up.Header("Retry-After")), 0);
    EXPECT_NE(GbkToUtf8(used_up.body).find("今天的 3 次查询已经用完"), std::string::npos) << GbkToUtf8(used_up.body);

    auto bursty = ServerProcess::Start({"--burst", "2", "--refill", "0.01"});
    ASSERT_NE(bursty, nullptr);
    const std::string other = IssueKey(bursty->port());
    EXPECT_EQ(Get(bursty->port(), LookupTarget(other)).status, 200);
    EXPECT_EQ(Get(bursty->port(), LookupTarget(other)).status, 200);
    const Reply too_fast = Get(bursty->port(), LookupTarget(other));
    EXPECT_EQ(too_fast.status, 429);
    EXPECT_GT(std::stol("0" + too_fast.Header("Retry-After")), 0);
    EXPECT_NE(GbkToUtf8(too_fast.body).find("查询过于频繁"), std::string::npos);
    // A list beyond what is left: the rest is named, not silently dropped.
    const std::string third = IssueKey(bursty->port());
    const Reply partial = Get(bursty->port(), "/getip?ip=8.8.8.8,1.1.1.1,9.9.9.9&key=" + third);
    EXPECT_EQ(partial.status, 200);
    EXPECT_NE(GbkToUtf8(partial.body).find("其余 1 个地址未查询"), std::string::npos) << GbkToUtf8(partial.body);
}

TEST(KeyFlowTest, IssuedKeySurvivesKillRightAfterIssuance) {
    auto server = ServerProcess::Start();
    ASSERT_NE(server, nullptr);
    const std::string key = IssueKey(server->port());
    server->Signal(SIGKILL);
    server->Wait();
    auto restarted = ServerProcess::Start({}, server->keys_db());
    ASSERT_NE(restarted, nullptr);
    EXPECT_EQ(Get(restarted->port(), LookupTarget(key)).status, 200);
}

TEST(KeyFlowTest, UsageIsNotLostBeyondOneFlushInterval) {
    constexpr auto kFlushInterval = 200ms;
    auto server = ServerProcess::Start({"--daily-quota", "10", "--flush-interval-ms", "200"});
    ASSERT_NE(server, nullptr);
    const std::string key = IssueKey(server->port());
    for (int i = 0; i < 3; ++i) ASSERT_EQ(Get(server->port(), LookupTarget(key)).status, 200);
    // What is at stake is the time itself: after one interval the uses are on disk.
    std::this_thread::sleep_for(kFlushInterval * 3);
    server->Signal(SIGKILL);
    server->Wait();
    auto restarted = ServerProcess::Start({"--daily-quota", "10"}, server->keys_db());
    ASSERT_NE(restarted, nullptr);
    EXPECT_EQ(Remaining(Get(restarted->port(), LookupTarget(key))), 10 - 4);
}

TEST(KeyFlowTest, ConcurrentClientsNeverExceedTheQuota) {
    constexpr int kQuota = 40, kThreads = 6, kPerThread = 12;
    auto server = ServerProcess::Start({"--daily-quota", std::to_string(kQuota), "--burst", "1000", "--refill", "1000"});
    ASSERT_NE(server, nullptr);
    const std::string key = IssueKey(server->port());
    std::atomic<int> answered{0}, refused{0}, other{0};
    std::mutex mutex;
    std::multiset<long> remaining;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kPerThread; ++i) {
                const Reply reply = Get(server->ports()[t % server->ports().size()], LookupTarget(key));
                if (reply.status == 200) {
                    ++answered;
                    std::lock_guard lock(mutex);
                    remaining.insert(Remaining(reply));
                } else if (reply.status == 429) {
                    ++refused;
                } else {
                    ++other;
                }
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(answered, kQuota);
    EXPECT_EQ(refused, kThreads * kPerThread - kQuota);
    EXPECT_EQ(other, 0);
    // Every use saw its own count: 39 down to 0, each once.
    std::multiset<long> expected;
    for (long r = 0; r < kQuota; ++r) expected.insert(r);
    EXPECT_EQ(remaining, expected);
}

}  // namespace
}  // namespace corvane::server::testing
