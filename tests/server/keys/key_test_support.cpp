#include "key_test_support.h"

#include "key_hash.h"

namespace corvane::keys::testing {

bool ExecuteSql(const std::string& database_path, const char* sql) {
    sqlite3* raw = nullptr;
    bool ok = sqlite3_open_v2(database_path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
              sqlite3_exec(raw, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close_v2(raw);
    return ok;
}

std::int64_t StoredUsage(const std::string& database_path, std::string_view key, std::int64_t day) {
    sqlite3* raw = nullptr;
    std::int64_t count = -1;
    if (sqlite3_open_v2(database_path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(raw, "SELECT count FROM usage WHERE hash = ?1 AND day = ?2", -1, &statement,
                               nullptr) == SQLITE_OK) {
            const KeyHash hash = HashKey(key);
            sqlite3_bind_blob(statement, 1, hash.data(), static_cast<int>(hash.size()), SQLITE_STATIC);
            sqlite3_bind_int64(statement, 2, day);
            if (sqlite3_step(statement) == SQLITE_ROW) count = sqlite3_column_int64(statement, 0);
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close_v2(raw);
    return count;
}

}  // namespace corvane::keys::testing
