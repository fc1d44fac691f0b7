#include "key_service.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>
#include <thread>

#include "issuance_client.h"
#include "key_database.h"
#include "key_format.h"
#include "key_hash.h"
#include "usage_table.h"

namespace corvane::keys {
namespace {

constexpr std::chrono::hours kIssueWindow{1};

std::int64_t MillisecondsSinceEpoch(TimePoint time) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
}

// Refuses limits under which no lookup could ever pass or a bucket never refills.
bool ValidateOptions(const KeyServiceOptions& options, std::string* error) {
    if (!std::isfinite(options.burst) || options.burst < 1) {
        *error = "the burst must be at least 1";
    } else if (!std::isfinite(options.refill_per_second) || options.refill_per_second <= 0) {
        *error = "the refill rate must be above 0";
    } else if (options.flush_interval <= std::chrono::milliseconds::zero()) {
        *error = "the flush interval must be above 0";
    } else if (!options.now) {
        *error = "no clock";
    } else {
        return true;
    }
    return false;
}

class SqliteKeyService final : public KeyService {
public:
    SqliteKeyService(const KeyServiceOptions& options, std::unique_ptr<KeyDatabase> database)
        : options_(options),
          database_(std::move(database)),
          usage_({options.daily_quota, options.burst, options.refill_per_second}) {}

    ~SqliteKeyService() override {
        {
            std::lock_guard lock(flusher_mutex_);
            stopping_ = true;
        }
        flusher_wake_.notify_all();
        if (flusher_.joinable()) flusher_.join();
        Flush();
    }

    // Reads the known keys and today's usage back, so a restart renews no quota.
    bool Load(std::string* error) {
        const std::int64_t today = UtcDay(options_.now());
        return database_->ForEachKey([&](const KeyHash& hash) { usage_.AddKey(hash, today); }, error) &&
               database_->ForEachUsage(today, [&](const UsageRow& row) { usage_.RestoreUsage(row); }, error);
    }

    void StartFlusher() {
        flusher_ = std::thread([this] {
            std::unique_lock lock(flusher_mutex_);
            while (!flusher_wake_.wait_for(lock, options_.flush_interval, [this] { return stopping_; })) {
                lock.unlock();
                Flush();
                lock.lock();
            }
        });
    }

    KeyUse Use(std::string_view key) override {
        if (key.empty()) return {KeyStatus::kMissing};
        if (!IsWellFormedKey(key)) return {KeyStatus::kUnknown};
        return usage_.Use(HashKey(key), options_.now());
    }

    IssueResult Issue(std::string_view client_address) override {
        const std::string client = IssuanceClient(client_address);
        std::lock_guard lock(database_mutex_);
        const TimePoint now = options_.now();
        std::string error;

        IssueWindow window;
        if (!database_->CountIssues(client, MillisecondsSinceEpoch(now - kIssueWindow), &window, &error)) {
            Report("cannot count issued keys", error);
            return {IssueStatus::kStoreFailed, {}, 0};
        }
        if (window.count >= options_.issues_per_client_per_hour) {
            const TimePoint freed = window.count > 0
                                        ? TimePoint(std::chrono::milliseconds(window.oldest_issued_at_ms)) + kIssueWindow
                                        : now + kIssueWindow;
            const double wait = std::chrono::duration<double>(freed - now).count();
            return {IssueStatus::kRateLimited, {}, static_cast<std::uint32_t>(std::max(1.0, std::ceil(wait)))};
        }

        std::optional<std::string> key = GenerateKey();
        if (!key) {
            Report("no randomness for a new key", "getrandom failed");
            return {IssueStatus::kStoreFailed, {}, 0};
        }
        const KeyHash hash = HashKey(*key);
        if (!database_->InsertKey(hash, MillisecondsSinceEpoch(now), client, &error)) {
            Report("cannot store a new key", error);
            return {IssueStatus::kStoreFailed, {}, 0};
        }
        usage_.AddKey(hash, UtcDay(now));
        return {IssueStatus::kIssued, std::move(*key)};
    }

    void Flush() override {
        // One writer at a time, so an older count never lands after a newer one.
        std::lock_guard lock(database_mutex_);
        std::vector<UsageRow> rows = usage_.TakeChanged();
        if (rows.empty()) return;
        std::string error;
        if (!database_->WriteUsage(rows, &error)) {
            Report("cannot write key usage, will retry", error);
            usage_.ReturnUnwritten(rows);
        }
    }

private:
    // Messages name the operation and SQLite's reason; they never hold a key.
    static void Report(const char* what, const std::string& why) {
        std::fprintf(stderr, "key store: %s: %s\n", what, why.c_str());
    }

    const KeyServiceOptions options_;
    std::mutex database_mutex_;
    std::unique_ptr<KeyDatabase> database_;
    UsageTable usage_;

    std::mutex flusher_mutex_;
    std::condition_variable flusher_wake_;
    bool stopping_ = false;
    std::thread flusher_;
};

}  // namespace

std::unique_ptr<KeyService> KeyService::Open(const KeyServiceOptions& options, std::string* error) {
    std::string ignored;
    if (error == nullptr) error = &ignored;
    if (!ValidateOptions(options, error)) return nullptr;
    std::unique_ptr<KeyDatabase> database = KeyDatabase::Open(options.database_path, error);
    if (!database) return nullptr;
    auto service = std::make_unique<SqliteKeyService>(options, std::move(database));
    if (!service->Load(error)) {
        *error = "cannot read the key database: " + *error;
        return nullptr;
    }
    service->StartFlusher();
    return service;
}

}  // namespace corvane::keys
