// Owning handles for SQLite connections and statements.
#pragma once

#include <sqlite3.h>

#include <memory>
#include <string>
#include <string_view>

namespace corvane::keys {

struct SqliteCloser {
    void operator()(sqlite3* db) const noexcept { sqlite3_close_v2(db); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const noexcept { sqlite3_finalize(statement); }
};

using SqliteHandle = std::unique_ptr<sqlite3, SqliteCloser>;
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// A prepared statement, or null with *error set.
inline Statement Prepare(sqlite3* db, std::string_view sql, std::string* error) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &raw, nullptr) != SQLITE_OK) {
        *error = sqlite3_errmsg(db);
        return nullptr;
    }
    return Statement(raw);
}

}  // namespace corvane::keys
