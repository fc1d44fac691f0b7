#include "usage_table.h"

#include <algorithm>
#include <cmath>

namespace corvane::keys {
namespace {

constexpr std::int64_t kSecondsPerDay = 24 * 60 * 60;

std::uint32_t SecondsUntil(TimePoint now, TimePoint then) {
    const double seconds = std::chrono::duration<double>(then - now).count();
    return static_cast<std::uint32_t>(std::clamp(std::ceil(seconds), 1.0, double{UINT32_MAX}));
}

}  // namespace

std::int64_t UtcDay(TimePoint time) {
    return std::chrono::floor<std::chrono::days>(time).time_since_epoch().count();
}

void UsageTable::AddKey(const KeyHash& hash, std::int64_t day) {
    Shard& shard = ShardOf(hash);
    std::lock_guard lock(shard.mutex);
    KeyState& state = shard.keys[hash];
    state.day = day;
    state.used = 0;
    state.tokens = limits_.burst;
    state.refilled_at = TimePoint{};
}

void UsageTable::RestoreUsage(const UsageRow& row) {
    Shard& shard = ShardOf(row.hash);
    std::lock_guard lock(shard.mutex);
    const auto found = shard.keys.find(row.hash);
    // Usage of a key removed from the store must not bring the key back.
    if (found == shard.keys.end()) return;
    found->second.day = row.day;
    found->second.used = row.count;
}

void UsageTable::MarkChanged(Shard& shard, const KeyHash& hash, KeyState& state) {
    if (state.changed) return;
    state.changed = true;
    shard.changed.push_back(hash);
}

KeyUse UsageTable::Use(const KeyHash& hash, TimePoint now) {
    Shard& shard = ShardOf(hash);
    std::lock_guard lock(shard.mutex);
    const auto found = shard.keys.find(hash);
    if (found == shard.keys.end()) return {KeyStatus::kUnknown};
    KeyState& state = found->second;

    // Only a later day renews the quota: a clock set back never does.
    if (const std::int64_t today = UtcDay(now); today > state.day) {
        if (state.changed) shard.earlier_days.push_back({hash, state.day, state.used});
        state.day = today;
        state.used = 0;
    }
    if (state.used >= limits_.daily_quota) {
        const TimePoint midnight(std::chrono::seconds((state.day + 1) * kSecondsPerDay));
        return {KeyStatus::kQuotaExhausted, 0, SecondsUntil(now, midnight)};
    }

    if (now > state.refilled_at) {
        const double elapsed = std::chrono::duration<double>(now - state.refilled_at).count();
        state.tokens = std::min(limits_.burst, state.tokens + elapsed * limits_.refill_per_second);
        state.refilled_at = now;
    }
    if (state.tokens < 1) {
        const double wait = (1 - state.tokens) / limits_.refill_per_second;
        return {KeyStatus::kRateLimited, 0,
                static_cast<std::uint32_t>(std::clamp(std::ceil(wait), 1.0, double{UINT32_MAX}))};
    }
    state.tokens -= 1;
    ++state.used;
    MarkChanged(shard, hash, state);
    return {KeyStatus::kOk, limits_.daily_quota - state.used};
}

std::vector<UsageRow> UsageTable::TakeChanged() {
    std::vector<UsageRow> rows;
    for (Shard& shard : shards_) {
        std::lock_guard lock(shard.mutex);
        rows.insert(rows.end(), shard.earlier_days.begin(), shard.earlier_days.end());
        shard.earlier_days.clear();
        for (const KeyHash& hash : shard.changed) {
            KeyState& state = shard.keys.at(hash);
            state.changed = false;
            rows.push_back({hash, state.day, state.used});
        }
        shard.changed.clear();
    }
    return rows;
}

void UsageTable::ReturnUnwritten(const std::vector<UsageRow>& rows) {
    for (const UsageRow& row : rows) {
        Shard& shard = ShardOf(row.hash);
        std::lock_guard lock(shard.mutex);
        KeyState& state = shard.keys.at(row.hash);
        if (state.day == row.day) {
            MarkChanged(shard, row.hash, state);  // its current count is at least row.count
        } else {
            shard.earlier_days.push_back(row);
        }
    }
}

}  // namespace corvane::keys
