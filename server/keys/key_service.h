// server/keys/key_service.h — the access-key store of the lookup service.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace corvane::keys {

struct KeyServiceOptions {
    std::string database_path;                 // SQLite file, WAL; its folder is created
    std::uint32_t daily_quota = 1000;          // lookups per key per UTC day
    double burst = 20;                         // token bucket size per key
    double refill_per_second = 10;             // token bucket refill per key
    std::uint32_t issues_per_client_per_hour = 10;  // key issuance limit per client address
    std::chrono::milliseconds flush_interval{1000}; // usage written once per interval
    // Clock, replaceable in tests.
    std::function<std::chrono::system_clock::time_point()> now = [] {
        return std::chrono::system_clock::now();
    };
};

enum class KeyStatus { kOk, kMissing, kUnknown, kQuotaExhausted, kRateLimited };

struct KeyUse {
    KeyStatus status;
    std::uint32_t remaining_today = 0;       // after this use, for kOk
    std::uint32_t retry_after_seconds = 0;   // for kRateLimited and kQuotaExhausted
};

enum class IssueStatus { kIssued, kRateLimited, kStoreFailed };

struct IssueResult {
    IssueStatus status;
    std::string key;                         // the new key, for kIssued (shown once, never stored)
    std::uint32_t retry_after_seconds = 0;   // for kRateLimited
};

class KeyService {
public:
    // Opens or creates the store; nullptr with *error set when it cannot.
    static std::unique_ptr<KeyService> Open(const KeyServiceOptions& options, std::string* error);
    virtual ~KeyService() = default;  // stops the flusher and writes the last usage

    // Checks and counts one lookup. Thread-safe; never waits on a disk write.
    // A malformed key (bad prefix, length, alphabet or checksum) is kUnknown
    // without touching the database; an empty key is kMissing.
    virtual KeyUse Use(std::string_view key) = 0;

    // Issues a new key for a client address. Thread-safe; the key is durable
    // (committed with synchronous FULL) before this returns.
    virtual IssueResult Issue(std::string_view client_address) = 0;

    // Writes the usage counted so far in one transaction (the flusher calls it).
    virtual void Flush() = 0;
};

// True when the key has the right prefix, length, alphabet and checksum.
bool IsWellFormedKey(std::string_view key);

}  // namespace corvane::keys
