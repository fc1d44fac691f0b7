// The key store on disk: key hashes with their issuance, and usage per key and
// UTC day. Not thread-safe: its owner serialises calls.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "key_hash.h"
#include "owner_lock.h"
#include "sqlite_handle.h"

namespace corvane::keys {

struct UsageRow {
    KeyHash hash;
    std::int64_t day;     // days since 1970-01-01, UTC
    std::uint32_t count;  // lookups counted that day
};

struct IssueWindow {
    std::uint32_t count = 0;               // keys issued to the client since the window start
    std::int64_t oldest_issued_at_ms = 0;  // the earliest of them, when count > 0
};

class KeyDatabase {
public:
    // Opens or creates the file (and its folder) in WAL mode with synchronous FULL;
    // fails while another process has it open.
    static std::unique_ptr<KeyDatabase> Open(const std::string& path, std::string* error);

    bool ForEachKey(const std::function<void(const KeyHash&)>& visit, std::string* error);
    bool ForEachUsage(std::int64_t day, const std::function<void(const UsageRow&)>& visit,
                      std::string* error);
    bool CountIssues(std::string_view client, std::int64_t since_ms, IssueWindow* window,
                     std::string* error);
    // Committed and synced when it returns true.
    bool InsertKey(const KeyHash& hash, std::int64_t issued_at_ms, std::string_view client,
                   std::string* error);
    // All rows in one transaction; a day's count never goes down.
    bool WriteUsage(const std::vector<UsageRow>& rows, std::string* error);

private:
    KeyDatabase(std::unique_ptr<OwnerLock> owner, SqliteHandle db)
        : owner_(std::move(owner)), db_(std::move(db)) {}
    bool PrepareStatements(std::string* error);
    bool Execute(const char* sql, std::string* error);

    std::unique_ptr<OwnerLock> owner_;  // released after the connection closes
    SqliteHandle db_;
    Statement select_keys_;
    Statement select_usage_;
    Statement count_issues_;
    Statement insert_key_;
    Statement upsert_usage_;
};

}  // namespace corvane::keys
