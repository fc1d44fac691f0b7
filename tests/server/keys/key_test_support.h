// Helpers for the key store tests: a private folder, a settable clock and a
// look at the database file from outside the store.
#pragma once

#include <sqlite3.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "key_service.h"

namespace corvane::keys::testing {

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "corvane-keys-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A clock that moves only when told; copies share the time.
class FakeClock {
public:
    explicit FakeClock(std::chrono::system_clock::time_point start)
        : ms_(std::make_shared<std::atomic<std::int64_t>>(
              std::chrono::duration_cast<std::chrono::milliseconds>(start.time_since_epoch()).count())) {}
    std::chrono::system_clock::time_point operator()() const {
        return std::chrono::system_clock::time_point(std::chrono::milliseconds(ms_->load()));
    }
    void Advance(std::chrono::milliseconds step) { ms_->fetch_add(step.count()); }

private:
    std::shared_ptr<std::atomic<std::int64_t>> ms_;
};

// 2026-03-14 in UTC, plus the given time of day.
inline std::chrono::system_clock::time_point UtcTime(std::chrono::seconds time_of_day) {
    using namespace std::chrono;
    return sys_days{year{2026} / March / 14} + time_of_day;
}

inline std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs SQL on the database by a connection of its own; false on any error.
bool ExecuteSql(const std::string& database_path, const char* sql);

// A key's stored count for a UTC day (days since 1970), read by a connection
// of its own; -1 when none.
std::int64_t StoredUsage(const std::string& database_path, std::string_view key, std::int64_t day);

}  // namespace corvane::keys::testing
