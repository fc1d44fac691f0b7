// The store killed with SIGKILL: what it promised to keep must be there when
// it is opened again. A forked child runs the store and is killed; the parent
// reopens the same file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "key_format.h"
#include "key_service.h"
#include "key_test_support.h"

namespace corvane::keys {
namespace {

using namespace std::chrono_literals;

constexpr auto kWaitLimit = 20s;  // only reached when something is broken

// Runs `child` in a forked process with a pipe to write to; the child never returns.
template <typename Child>
pid_t ForkWithPipe(int* read_end, Child child) {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        child(fds[1]);
        _exit(0);
    }
    close(fds[1]);
    *read_end = fds[0];
    return pid;
}

void WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
        if (wrote <= 0) return;
        done += static_cast<std::size_t>(wrote);
    }
}

std::string ReadKey(int fd) {
    std::string key(kKeyLength, '\0');
    std::size_t got = 0;
    while (got < key.size()) {
        const ssize_t n = read(fd, key.data() + got, key.size() - got);
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    key.resize(got);
    return key;
}

bool KilledBySigkill(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

TEST(KeyStoreCrash, KeyIssuedJustBeforeSigkillIsKept) {
    testing::TempDir dir;
    KeyServiceOptions options;
    options.database_path = (dir.path() / "keys.sqlite").string();

    int from_child = -1;
    const pid_t pid = ForkWithPipe(&from_child, [&](int to_parent) {
        std::string error;
        auto store = KeyService::Open(options, &error);
        if (store) {
            const IssueResult issued = store->Issue("192.0.2.1");
            if (issued.status == IssueStatus::kIssued) WriteAll(to_parent, issued.key);
        }
        kill(getpid(), SIGKILL);
    });
    ASSERT_GT(pid, 0);
    const std::string key = ReadKey(from_child);
    close(from_child);
    ASSERT_TRUE(KilledBySigkill(pid));
    ASSERT_TRUE(IsWellFormedKey(key));

    std::string error;
    auto store = KeyService::Open(options, &error);
    ASSERT_NE(store, nullptr) << error;
    EXPECT_EQ(store->Use(key).status, KeyStatus::kOk);
}

TEST(KeyStoreCrash, UsageIsWrittenWithinAFlushIntervalAndSurvivesSigkill) {
    testing::TempDir dir;
    KeyServiceOptions options;
    options.database_path = (dir.path() / "keys.sqlite").string();
    options.flush_interval = 50ms;
    constexpr int kUses = 7;

    int from_child = -1;
    const pid_t pid = ForkWithPipe(&from_child, [&](int to_parent) {
        std::string error;
        auto store = KeyService::Open(options, &error);
        if (!store) return;
        const IssueResult issued = store->Issue("192.0.2.1");
        for (int i = 0; i < kUses; ++i) store->Use(issued.key);
        WriteAll(to_parent, issued.key);
        for (;;) pause();  // the flusher keeps running until the kill
    });
    ASSERT_GT(pid, 0);
    const std::string key = ReadKey(from_child);
    close(from_child);
    ASSERT_TRUE(IsWellFormedKey(key));

    // The flusher is the only writer of usage: seeing the count on disk from
    // outside means it wrote it, without the store being closed.
    const auto start = std::chrono::steady_clock::now();
    while (testing::StoredUsage(options.database_path, key) != kUses &&
           std::chrono::steady_clock::now() - start < kWaitLimit) {
        std::this_thread::sleep_for(5ms);
    }
    kill(pid, SIGKILL);
    ASSERT_TRUE(KilledBySigkill(pid));
    ASSERT_EQ(testing::StoredUsage(options.database_path, key), kUses);

    std::string error;
    auto store = KeyService::Open(options, &error);
    ASSERT_NE(store, nullptr) << error;
    EXPECT_EQ(store->Use(key).remaining_today, options.daily_quota - kUses - 1);
}

}  // namespace
}  // namespace corvane::keys
