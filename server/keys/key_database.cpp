#include "key_database.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace corvane::keys {
namespace {

constexpr int kBusyTimeoutMs = 5000;

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS keys(
  hash BLOB PRIMARY KEY,
  issued_at_ms INTEGER NOT NULL,
  client TEXT NOT NULL
) WITHOUT ROWID;
CREATE INDEX IF NOT EXISTS keys_by_client ON keys(client, issued_at_ms);
CREATE TABLE IF NOT EXISTS usage(
  hash BLOB NOT NULL,
  day INTEGER NOT NULL,
  count INTEGER NOT NULL,
  PRIMARY KEY(hash, day)
) WITHOUT ROWID;
)sql";

// Resets a statement when the call that used it ends, whatever the outcome.
class StatementUse {
public:
    explicit StatementUse(sqlite3_stmt* statement) : statement_(statement) {}
    ~StatementUse() {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
    StatementUse(const StatementUse&) = delete;
    StatementUse& operator=(const StatementUse&) = delete;

private:
    sqlite3_stmt* statement_;
};

KeyHash HashColumn(sqlite3_stmt* statement, int column, bool* ok) {
    KeyHash hash{};
    const void* blob = sqlite3_column_blob(statement, column);
    *ok = blob != nullptr && sqlite3_column_bytes(statement, column) == static_cast<int>(hash.size());
    if (*ok) std::memcpy(hash.data(), blob, hash.size());
    return hash;
}

int BindHash(sqlite3_stmt* statement, int index, const KeyHash& hash) {
    return sqlite3_bind_blob(statement, index, hash.data(), static_cast<int>(hash.size()), SQLITE_STATIC);
}

int BindText(sqlite3_stmt* statement, int index, std::string_view text) {
    return sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
}

// A file's new directory entry is only durable once its folder is synced.
void SyncFolderOf(const std::filesystem::path& file) {
    std::filesystem::path folder = file.parent_path();
    if (folder.empty()) folder = ".";
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

std::unique_ptr<KeyDatabase> KeyDatabase::Open(const std::string& path, std::string* error) {
    if (path.empty()) {
        *error = "no key database path";
        return nullptr;
    }
    const std::filesystem::path file(path);
    if (file.has_parent_path()) {
        std::error_code ec;
        std::filesystem::create_directories(file.parent_path(), ec);
        if (ec) {
            *error = "cannot create the key database folder: " + ec.message();
            return nullptr;
        }
    }

    std::unique_ptr<OwnerLock> owner = OwnerLock::Acquire(path, error);
    if (!owner) return nullptr;

    // Created here so that only the owner can read it; SQLite gives its WAL
    // and shared-memory files the same mode.
    if (const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600); fd >= 0) ::close(fd);

    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    SqliteHandle db(raw);
    if (rc != SQLITE_OK) {
        *error = "cannot open the key database: " + std::string(raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc));
        return nullptr;
    }
    sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);

    std::unique_ptr<KeyDatabase> store(new KeyDatabase(std::move(owner), std::move(db)));
    // journal_mode answers with the mode in effect, which is not WAL on
    // file systems that cannot share memory between processes.
    {
        Statement wal = Prepare(store->db_.get(), "PRAGMA journal_mode=WAL", error);
        if (!wal) return nullptr;
        const unsigned char* mode = nullptr;
        if (sqlite3_step(wal.get()) == SQLITE_ROW) mode = sqlite3_column_text(wal.get(), 0);
        if (mode == nullptr || std::string_view(reinterpret_cast<const char*>(mode)) != "wal") {
            *error = "the key database cannot use WAL mode";
            return nullptr;
        }
    }
    if (!store->Execute("PRAGMA synchronous=FULL", error) || !store->Execute(kSchema, error) ||
        !store->PrepareStatements(error)) {
        *error = "key database: " + *error;
        return nullptr;
    }
    SyncFolderOf(file);
    return store;
}

bool KeyDatabase::Execute(const char* sql, std::string* error) {
    char* message = nullptr;
    if (sqlite3_exec(db_.get(), sql, nullptr, nullptr, &message) != SQLITE_OK) {
        *error = message ? message : sqlite3_errmsg(db_.get());
        sqlite3_free(message);
        return false;
    }
    return true;
}

bool KeyDatabase::PrepareStatements(std::string* error) {
    select_keys_ = Prepare(db_.get(), "SELECT hash FROM keys", error);
    select_usage_ = Prepare(db_.get(), "SELECT hash, count FROM usage WHERE day = ?1", error);
    count_issues_ = Prepare(db_.get(),
                            "SELECT count(*), min(issued_at_ms) FROM keys "
                            "WHERE client = ?1 AND issued_at_ms > ?2",
                            error);
    insert_key_ = Prepare(db_.get(), "INSERT INTO keys(hash, issued_at_ms, client) VALUES(?1, ?2, ?3)", error);
    upsert_usage_ = Prepare(db_.get(),
                            "INSERT INTO usage(hash, day, count) VALUES(?1, ?2, ?3) "
                            "ON CONFLICT(hash, day) DO UPDATE SET count = max(count, excluded.count)",
                            error);
    return select_keys_ && select_usage_ && count_issues_ && insert_key_ && upsert_usage_;
}

bool KeyDatabase::ForEachKey(const std::function<void(const KeyHash&)>& visit, std::string* error) {
    StatementUse use(select_keys_.get());
    int rc;
    while ((rc = sqlite3_step(select_keys_.get())) == SQLITE_ROW) {
        bool ok = false;
        const KeyHash hash = HashColumn(select_keys_.get(), 0, &ok);
        if (ok) visit(hash);
    }
    if (rc != SQLITE_DONE) *error = sqlite3_errmsg(db_.get());
    return rc == SQLITE_DONE;
}

bool KeyDatabase::ForEachUsage(std::int64_t day, const std::function<void(const UsageRow&)>& visit,
                               std::string* error) {
    StatementUse use(select_usage_.get());
    sqlite3_bind_int64(select_usage_.get(), 1, day);
    int rc;
    while ((rc = sqlite3_step(select_usage_.get())) == SQLITE_ROW) {
        bool ok = false;
        const KeyHash hash = HashColumn(select_usage_.get(), 0, &ok);
        const sqlite3_int64 count = sqlite3_column_int64(select_usage_.get(), 1);
        if (ok && count >= 0) {
            visit(UsageRow{hash, day, static_cast<std::uint32_t>(std::min<sqlite3_int64>(count, UINT32_MAX))});
        }
    }
    if (rc != SQLITE_DONE) *error = sqlite3_errmsg(db_.get());
    return rc == SQLITE_DONE;
}

bool KeyDatabase::CountIssues(std::string_view client, std::int64_t since_ms, IssueWindow* window,
                              std::string* error) {
    StatementUse use(count_issues_.get());
    BindText(count_issues_.get(), 1, client);
    sqlite3_bind_int64(count_issues_.get(), 2, since_ms);
    if (sqlite3_step(count_issues_.get()) != SQLITE_ROW) {
        *error = sqlite3_errmsg(db_.get());
        return false;
    }
    window->count = static_cast<std::uint32_t>(sqlite3_column_int64(count_issues_.get(), 0));
    window->oldest_issued_at_ms = sqlite3_column_int64(count_issues_.get(), 1);
    return true;
}

bool KeyDatabase::InsertKey(const KeyHash& hash, std::int64_t issued_at_ms, std::string_view client,
                            std::string* error) {
    StatementUse use(insert_key_.get());
    BindHash(insert_key_.get(), 1, hash);
    sqlite3_bind_int64(insert_key_.get(), 2, issued_at_ms);
    BindText(insert_key_.get(), 3, client);
    // Outside a transaction the insert commits, and synchronous FULL syncs the WAL, before step returns.
    if (sqlite3_step(insert_key_.get()) != SQLITE_DONE) {
        *error = sqlite3_errmsg(db_.get());
        return false;
    }
    return true;
}

bool KeyDatabase::WriteUsage(const std::vector<UsageRow>& rows, std::string* error) {
    if (!Execute("BEGIN IMMEDIATE", error)) return false;
    for (const UsageRow& row : rows) {
        StatementUse use(upsert_usage_.get());
        BindHash(upsert_usage_.get(), 1, row.hash);
        sqlite3_bind_int64(upsert_usage_.get(), 2, row.day);
        sqlite3_bind_int64(upsert_usage_.get(), 3, row.count);
        if (sqlite3_step(upsert_usage_.get()) != SQLITE_DONE) {
            *error = sqlite3_errmsg(db_.get());
            std::string ignored;
            Execute("ROLLBACK", &ignored);
            return false;
        }
    }
    if (!Execute("COMMIT", error)) {
        std::string ignored;
        Execute("ROLLBACK", &ignored);
        return false;
    }
    return true;
}

}  // namespace corvane::keys
