#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <thread>
#include <vector>

#include "key_format.h"
#include "key_service.h"
#include "key_test_support.h"
#include "usage_table.h"

namespace corvane::keys {
namespace {

using namespace std::chrono_literals;
using testing::FakeClock;
using testing::TempDir;
using testing::UtcTime;

class KeyServiceTest : public ::testing::Test {
protected:
    KeyServiceOptions Options() {
        KeyServiceOptions options;
        options.database_path = (dir_.path() / "var" / "keys.sqlite").string();
        options.now = clock_;
        return options;
    }

    std::unique_ptr<KeyService> OpenStore(const KeyServiceOptions& options) {
        std::string error;
        auto store = KeyService::Open(options, &error);
        EXPECT_NE(store, nullptr) << error;
        return store;
    }

    std::string IssueKey(KeyService& store, std::string_view client = "192.0.2.1") {
        IssueResult issued = store.Issue(client);
        EXPECT_EQ(issued.status, IssueStatus::kIssued);
        return issued.key;
    }

    TempDir dir_;
    FakeClock clock_{UtcTime(10h)};
};

TEST_F(KeyServiceTest, IssuedKeyIsAcceptedAndOthersAreNot) {
    auto store = OpenStore(Options());
    ASSERT_NE(store, nullptr);
    const std::string key = IssueKey(*store);
    EXPECT_TRUE(IsWellFormedKey(key));

    const KeyUse use = store->Use(key);
    EXPECT_EQ(use.status, KeyStatus::kOk);
    EXPECT_EQ(use.remaining_today, 999u);

    EXPECT_EQ(store->Use("").status, KeyStatus::kMissing);
    // A well-formed key never issued and a malformed one get the same answer.
    EXPECT_EQ(store->Use(*GenerateKey()).status, KeyStatus::kUnknown);
    std::string mistyped = key;
    mistyped[10] = mistyped[10] == 'a' ? 'b' : 'a';
    EXPECT_EQ(store->Use(mistyped).status, KeyStatus::kUnknown);
    EXPECT_EQ(store->Use("x' OR 1=1 --").status, KeyStatus::kUnknown);
}

TEST_F(KeyServiceTest, KeysAndTodaysUsageSurviveARestart) {
    KeyServiceOptions options = Options();
    std::string key;
    {
        auto store = OpenStore(options);
        ASSERT_NE(store, nullptr);
        key = IssueKey(*store);
        for (int i = 0; i < 3; ++i) ASSERT_EQ(store->Use(key).status, KeyStatus::kOk);
    }
    auto store = OpenStore(options);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store->Use(key).remaining_today, 996u);
}

// Revoking a key is deleting its row; its usage rows must not bring it back.
TEST_F(KeyServiceTest, KeyDeletedFromTheStoreIsUnknownAfterARestart) {
    KeyServiceOptions options = Options();
    std::string kept;
    std::string revoked;
    {
        auto store = OpenStore(options);
        ASSERT_NE(store, nullptr);
        kept = IssueKey(*store, "192.0.2.1");
        revoked = IssueKey(*store, "192.0.2.2");
        store->Use(kept);
        store->Use(revoked);
    }
    ASSERT_TRUE(testing::ExecuteSql(options.database_path, "DELETE FROM keys WHERE client = '192.0.2.2'"));
    auto store = OpenStore(options);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store->Use(revoked).status, KeyStatus::kUnknown);
    EXPECT_EQ(store->Use(kept).remaining_today, 998u);
}

TEST_F(KeyServiceTest, DailyQuotaEndsAtExactlyTheQuotaAndRenewsAtUtcMidnight) {
    clock_ = FakeClock(UtcTime(23h));
    KeyServiceOptions options = Options();
    options.daily_quota = 5;
    options.burst = 100;
    auto store = OpenStore(options);
    ASSERT_NE(store, nullptr);
    const std::string key = IssueKey(*store);

    for (std::uint32_t expected = 4;; --expected) {
        const KeyUse use = store->Use(key);
        ASSERT_EQ(use.status, KeyStatus::kOk);
        EXPECT_EQ(use.remaining_today, expected);
        if (expected == 0) break;
    }
    KeyUse refused = store->Use(key);
    EXPECT_EQ(refused.status, KeyStatus::kQuotaExhausted);
    EXPECT_EQ(refused.retry_after_seconds, 3600u);

    clock_.Advance(59min + 59s);
    EXPECT_EQ(store->Use(key).status, KeyStatus::kQuotaExhausted);
    EXPECT_EQ(store->Use(key).retry_after_seconds, 1u);

    clock_.Advance(1s);  // 00:00:00 UTC
    const KeyUse renewed = store->Use(key);
    EXPECT_EQ(renewed.status, KeyStatus::kOk);
    EXPECT_EQ(renewed.remaining_today, 4u);

    // The old day's exhausted quota, once stored, does not carry over a restart either.
    store.reset();
    store = OpenStore(options);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store->Use(key).remaining_today, 3u);
}

TEST_F(KeyServiceTest, ExhaustedQuotaStaysExhaustedAfterARestart) {
    KeyServiceOptions options = Options();
    options.daily_quota = 2;
    std::string key;
    {
        auto store = OpenStore(options);
        ASSERT_NE(store, nullptr);
        key = IssueKey(*store);
        store->Use(key);
        store->Use(key);
    }
    auto store = OpenStore(options);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store->Use(key).status, KeyStatus::kQuotaExhausted);
}

TEST_F(KeyServiceTest, ClockSetBackDoesNotRenewTheQuota) {
    KeyServiceOptions options = Options();
    options.daily_quota = 1;
    auto store = OpenStore(options);
    ASSERT_NE(store, nullptr);
    const std::string key = IssueKey(*store);
    clock_.Advance(24h);
    ASSERT_EQ(store->Use(key).status, KeyStatus::kOk);
    clock_.Advance(-24h);
    EXPECT_EQ(store->Use(key).status, KeyStatus::kQuotaExhausted);
}

TEST_F(KeyServiceTest, TokenBucketRefusesBurstsAndRefills) {
    KeyServiceOptions options = Options();
    options.burst = 3;
    options.refill_per_second = 0.5;
    auto store = OpenStore(options);
    ASSERT_NE(store, nullptr);
    const std::string key = IssueKey(*store);

    for (int i = 0; i < 3; ++i) ASSERT_EQ(store->Use(key).status, KeyStatus::kOk) << i;
    KeyUse refused = store->Use(key);
    EXPECT_EQ(refused.status, KeyStatus::kRateLimited);
    EXPECT_EQ(refused.retry_after_seconds, 2u);  // one token every two seconds

    clock_.Advance(1500ms);
    refused = store->Use(key);
    EXPECT_EQ(refused.status, KeyStatus::kRateLimited);
    EXPECT_EQ(refused.retry_after_seconds, 1u);

    clock_.Advance(500ms);
    EXPECT_EQ(store->Use(key).status, KeyStatus::kOk);
    EXPECT_EQ(store->Use(key).status, KeyStatus::kRateLimited);

    // A long pause fills the bucket only up to its size; refusals used no quota.
    clock_.Advance(1h);
    for (int i = 0; i < 3; ++i) ASSERT_EQ(store->Use(key).status, KeyStatus::kOk) << i;
    const KeyUse last = store->Use(key);
    EXPECT_EQ(last.status, KeyStatus::kRateLimited);
    clock_.Advance(2s);
    EXPECT_EQ(store->Use(key).remaining_today, 1000u - 8u);
}

TEST_F(KeyServiceTest, BucketsAreKeptPerKey) {
    KeyServiceOptions options = Options();
    options.burst = 1;
    auto store = OpenStore(options);
    ASSERT_NE(store, nullptr);
    const std::string first = IssueKey(*store);
    const std::string second = IssueKey(*store);
    ASSERT_EQ(store->Use(first).status, KeyStatus::kOk);
    EXPECT_EQ(store->Use(first).status, KeyStatus::kRateLimited);
    EXPECT_EQ(store->Use(second).status, KeyStatus::kOk);
}

TEST_F(KeyServiceTest, IssuanceIsLimitedPerClientForAnHourAcrossRestarts) {
    KeyServiceOptions options = Options();
    options.issues_per_client_per_hour = 2;
    auto store = OpenStore(options);
    ASSERT_NE(store, nullptr);
    IssueKey(*store, "192.0.2.1");
    clock_.Advance(10min);
    IssueKey(*store, "192.0.2.1");

    IssueResult refused = store->Issue("192.0.2.1");
    EXPECT_EQ(refused.status, IssueStatus::kRateLimited);
    EXPECT_TRUE(refused.key.empty());
    EXPECT_EQ(refused.retry_after_seconds, 50u * 60u);  // until the first issuance is an hour old
    IssueKey(*store, "192.0.2.2");

    store.reset();
    store = OpenStore(options);
    ASSERT_NE(store, nullptr);
    clock_.Advance(50min - 1s);
    EXPECT_EQ(store->Issue("192.0.2.1").status, IssueStatus::kRateLimited);
    clock_.Advance(1s);
    IssueKey(*store, "192.0.2.1");
    EXPECT_EQ(store->Issue("192.0.2.1").status, IssueStatus::kRateLimited);
}

TEST_F(KeyServiceTest, IssuanceLimitCoversAnIpv6ClientsWholePrefix) {
    KeyServiceOptions options = Options();
    options.issues_per_client_per_hour = 1;
    auto store = OpenStore(options);
    ASSERT_NE(store, nullptr);
    IssueKey(*store, "2001:db8:1:2::1");
    EXPECT_EQ(store->Issue("2001:db8:1:2::2").status, IssueStatus::kRateLimited);
    IssueKey(*store, "2001:db8:1:3::1");
}

TEST_F(KeyServiceTest, ConcurrentUsersNeverExceedTheQuota) {
    KeyServiceOptions options = Options();
    options.daily_quota = 500;
    options.burst = 1e9;
    options.flush_interval = 1ms;  // the flusher runs throughout
    auto store = OpenStore(options);
    ASSERT_NE(store, nullptr);
    const std::string key = IssueKey(*store);
    const std::string other = IssueKey(*store);

    constexpr int kThreads = 8;
    constexpr int kUsesPerThread = 200;
    std::vector<std::vector<std::uint32_t>> remaining(kThreads);
    std::vector<int> exhausted(kThreads);
    {
        std::vector<std::jthread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&, t] {
                for (int i = 0; i < kUsesPerThread; ++i) {
                    const KeyUse use = store->Use(key);
                    if (use.status == KeyStatus::kOk) remaining[t].push_back(use.remaining_today);
                    if (use.status == KeyStatus::kQuotaExhausted) ++exhausted[t];
                    if (i % 50 == 0) store->Use(other);
                }
            });
        }
    }
    std::vector<std::uint32_t> all;
    int refusals = 0;
    for (int t = 0; t < kThreads; ++t) {
        all.insert(all.end(), remaining[t].begin(), remaining[t].end());
        refusals += exhausted[t];
    }
    // Every remaining count from 499 down to 0 was handed out exactly once.
    std::sort(all.begin(), all.end());
    ASSERT_EQ(all.size(), 500u);
    for (std::uint32_t i = 0; i < all.size(); ++i) ASSERT_EQ(all[i], i);
    EXPECT_EQ(refusals, kThreads * kUsesPerThread - 500);

    store.reset();
    store = OpenStore(options);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store->Use(key).status, KeyStatus::kQuotaExhausted);
    EXPECT_EQ(store->Use(other).remaining_today, 500u - kThreads * (kUsesPerThread / 50) - 1);
}

TEST_F(KeyServiceTest, UsageOfAFailedWriteIsWrittenByALaterFlush) {
    KeyServiceOptions options = Options();
    options.flush_interval = 24h;  // only the explicit flushes write
    auto store = OpenStore(options);
    ASSERT_NE(store, nullptr);
    const std::string key = IssueKey(*store);
    const std::int64_t first_day = UtcDay(clock_());
    for (int i = 0; i < 3; ++i) store->Use(key);

    ASSERT_TRUE(testing::ExecuteSql(options.database_path,
                                    "CREATE TRIGGER refuse BEFORE INSERT ON usage "
                                    "BEGIN SELECT RAISE(ABORT, 'disk trouble'); END"));
    store->Flush();
    EXPECT_EQ(testing::StoredUsage(options.database_path, key, first_day), -1);

    // The day ends before the store can write again: both days' counts arrive.
    clock_.Advance(24h);
    for (int i = 0; i < 2; ++i) store->Use(key);
    store->Flush();
    ASSERT_TRUE(testing::ExecuteSql(options.database_path, "DROP TRIGGER refuse"));
    store->Flush();
    EXPECT_EQ(testing::StoredUsage(options.database_path, key, first_day), 3);
    EXPECT_EQ(testing::StoredUsage(options.database_path, key, first_day + 1), 2);
}

TEST_F(KeyServiceTest, DatabaseHoldsNoPlainKey) {
    KeyServiceOptions options = Options();
    std::vector<std::string> keys;
    {
        auto store = OpenStore(options);
        ASSERT_NE(store, nullptr);
        for (int i = 0; i < 5; ++i) {
            keys.push_back(IssueKey(*store, "192.0.2." + std::to_string(i)));
            store->Use(keys.back());
        }
        store->Flush();
        // Look while the store is open, WAL and all, and again after it closed.
        for (const char* suffix : {"", "-wal", "-shm"}) {
            const std::string bytes = testing::ReadFileBytes(options.database_path + suffix);
            for (const std::string& key : keys) {
                EXPECT_EQ(bytes.find(key.substr(kKeyPrefix.size(), kKeyBodyLength)), std::string::npos)
                    << suffix;
            }
        }
    }
    const std::string bytes = testing::ReadFileBytes(options.database_path);
    ASSERT_FALSE(bytes.empty());
    const auto others = std::filesystem::perms::group_all | std::filesystem::perms::others_all;
    EXPECT_EQ(std::filesystem::status(options.database_path).permissions() & others, std::filesystem::perms::none);
    for (const std::string& key : keys) {
        EXPECT_EQ(bytes.find(key.substr(kKeyPrefix.size(), kKeyBodyLength)), std::string::npos);
    }
}

TEST_F(KeyServiceTest, OnlyOneOwnerAtATime) {
    auto store = OpenStore(Options());
    ASSERT_NE(store, nullptr);
    const std::string key = IssueKey(*store);
    std::string error;
    EXPECT_EQ(KeyService::Open(Options(), &error), nullptr);
    EXPECT_NE(error.find("in use"), std::string::npos) << error;

    store.reset();
    store = OpenStore(Options());
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store->Use(key).status, KeyStatus::kOk);
}

TEST_F(KeyServiceTest, OpenRefusesWhatCannotWork) {
    std::string error;
    KeyServiceOptions options = Options();
    options.database_path = "";
    EXPECT_EQ(KeyService::Open(options, &error), nullptr);
    EXPECT_FALSE(error.empty());

    // A folder that cannot be created: its parent is a file.
    { std::ofstream(dir_.path() / "file") << "x"; }
    options = Options();
    options.database_path = (dir_.path() / "file" / "keys.sqlite").string();
    error.clear();
    EXPECT_EQ(KeyService::Open(options, &error), nullptr);
    EXPECT_FALSE(error.empty());

    // Not a database.
    options.database_path = (dir_.path() / "file").string();
    { std::ofstream(options.database_path) << std::string(4096, 'x'); }
    error.clear();
    EXPECT_EQ(KeyService::Open(options, &error), nullptr);
    EXPECT_FALSE(error.empty());

    const struct {
        const char* name;
        void (*spoil)(KeyServiceOptions&);
    } bad_limits[] = {
        {"burst below one", [](KeyServiceOptions& o) { o.burst = 0.5; }},
        {"no refill", [](KeyServiceOptions& o) { o.refill_per_second = 0; }},
        {"refill not a number", [](KeyServiceOptions& o) { o.refill_per_second = std::nan(""); }},
        {"zero flush interval", [](KeyServiceOptions& o) { o.flush_interval = 0ms; }},
    };
    for (const auto& bad : bad_limits) {
        options = Options();
        bad.spoil(options);
        error.clear();
        EXPECT_EQ(KeyService::Open(options, &error), nullptr) << bad.name;
        EXPECT_FALSE(error.empty()) << bad.name;
    }
}

}  // namespace
}  // namespace corvane::keys
