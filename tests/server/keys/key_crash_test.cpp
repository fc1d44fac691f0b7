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
#include "usage_table.h"

namespace corvane::keys {
namespace {

using namespace std::chrono_literals;

constexpr auto kWaitLimit = 20s;  // only reached when something is broken

// A forked child with a pipe to its parent; killed and reaped when dropped,
// so a failed assertion leaves no process behind.
class Child {
public:
    template <typename Body>
    explicit Child(Body body) {
        int fds[2];
        if (pipe(fds) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[0]);
            body(fds[1]);
            _exit(0);
        }
        close(fds[1]);
        read_end_ = fds[0];
    }
    ~Child() {
        if (read_end_ >= 0) close(read_end_);
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool started() const { return pid_ > 0 && read_end_ >= 0; }
    int read_end() const { return read_end_; }

    // Kills the child (if it is not dead already) and tells whether SIGKILL ended it.
    bool KilledBySigkill() {
        kill(pid_, SIGKILL);
        int status = 0;
        const bool reaped = waitpid(pid_, &status, 0) == pid_;
        pid_ = -1;
        return reaped && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    }

private:
    pid_t pid_ = -1;
    int read_end_ = -1;
};

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

TEST(KeyStoreCrash, KeyIssuedJustBeforeSigkillIsKept) {
    testing::TempDir dir;
    KeyServiceOptions options;
    options.database_path = (dir.path() / "keys.sqlite").string();

    Child child([&](int to_parent) {
        std::string error;
        auto store = KeyService::Open(options, &error);
        if (store) {
            const IssueResult issued = store->Issue("192.0.2.1");
            if (issued.status == IssueStatus::kIssued) WriteAll(to_parent, issued.key);
        }
        kill(getpid(), SIGKILL);
    });
    ASSERT_TRUE(child.started());
    const std::string key = ReadKey(child.read_end());
    ASSERT_TRUE(child.KilledBySigkill());
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

    Child child([&](int to_parent) {
        std::string error;
        auto store = KeyService::Open(options, &error);
        if (!store) return;
        const IssueResult issued = store->Issue("192.0.2.1");
        for (int i = 0; i < kUses; ++i) store->Use(issued.key);
        WriteAll(to_parent, issued.key);
        for (;;) pause();  // the flusher keeps running until the kill
    });
    ASSERT_TRUE(child.started());
    const std::string key = ReadKey(child.read_end());
    ASSERT_TRUE(IsWellFormedKey(key));

    // The flusher is the only writer of usage: seeing the count on disk from
    // outside means it wrote it, without the store being closed.
    const std::int64_t today = UtcDay(std::chrono::system_clock::now());
    const auto start = std::chrono::steady_clock::now();
    while (testing::StoredUsage(options.database_path, key, today) != kUses &&
           std::chrono::steady_clock::now() - start < kWaitLimit) {
        std::this_thread::sleep_for(5ms);
    }
    ASSERT_TRUE(child.KilledBySigkill());
    ASSERT_EQ(testing::StoredUsage(options.database_path, key, today), kUses);

    std::string error;
    auto store = KeyService::Open(options, &error);
    ASSERT_NE(store, nullptr) << error;
    EXPECT_EQ(store->Use(key).remaining_today, options.daily_quota - kUses - 1);
}

}  // namespace
}  // namespace corvane::keys
