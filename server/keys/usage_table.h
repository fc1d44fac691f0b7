// Per-key usage held in memory: the day's count against the quota and a token
// bucket against bursts. Lookups are counted here only; the flusher writes the
// counts out later, so a lookup never waits on the disk.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "key_database.h"
#include "key_hash.h"
#include "key_service.h"

namespace corvane::keys {

struct UsageLimits {
    std::uint32_t daily_quota;
    double burst;
    double refill_per_second;
};

using TimePoint = std::chrono::system_clock::time_point;

// Days since 1970-01-01 in UTC.
std::int64_t UtcDay(TimePoint time);

class UsageTable {
public:
    explicit UsageTable(const UsageLimits& limits) : limits_(limits) {}

    // A key, known from now on, with nothing used on `day`. Thread-safe.
    void AddKey(const KeyHash& hash, std::int64_t day);
    // What a known key used on `day`, as stored; ignored for keys not added. Thread-safe.
    void RestoreUsage(const UsageRow& row);

    // Counts one lookup; kUnknown for a key not added. Thread-safe.
    KeyUse Use(const KeyHash& hash, TimePoint now);

    // The counts changed since the last call, each key's latest per day.
    std::vector<UsageRow> TakeChanged();
    // Hands back rows that could not be written, so a later flush retries them.
    void ReturnUnwritten(const std::vector<UsageRow>& rows);

private:
    struct KeyState {
        std::int64_t day = 0;
        std::uint32_t used = 0;
        bool changed = false;  // listed in the shard's changed list
        double tokens = 0;
        TimePoint refilled_at{};
    };
    struct alignas(64) Shard {
        std::mutex mutex;
        std::unordered_map<KeyHash, KeyState, KeyHashHasher> keys;
        std::vector<KeyHash> changed;
        std::vector<UsageRow> earlier_days;  // counts of a day that ended before they were written
    };
    static constexpr std::size_t kShards = 64;

    Shard& ShardOf(const KeyHash& hash) { return shards_[KeyHashHasher{}(hash) % kShards]; }
    void MarkChanged(Shard& shard, const KeyHash& hash, KeyState& state);

    const UsageLimits limits_;
    std::array<Shard, kShards> shards_;
};

}  // namespace corvane::keys
