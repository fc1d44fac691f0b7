// The location data of one load: both city databases and the ASN table, and
// the store that swaps a freshly loaded set in while lookups go on.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "asn_table.h"
#include "city_database.h"

namespace corvane::server {

struct LocationData {
    std::unique_ptr<CityDatabase> city_v4;
    std::unique_ptr<CityDatabase> city_v6;
    AsnTable asn;
    std::string city_date;  // when the city data was built, "2026-06-05" (UTC)

    // Loads data_dir/dbip-city/*.mmdb and data_dir/asn/*.csv (scripts/fetch-data.sh
    // puts them there); nullptr with *error set when a file is missing or bad.
    static std::shared_ptr<const LocationData> Load(const std::string& data_dir, std::string* error);
};

// Holds the current data. Each lookup takes its own reference, so a reload
// that replaces the data never pulls it from under a lookup in flight; the old
// set is freed when its last lookup ends.
class LocationStore {
public:
    explicit LocationStore(std::shared_ptr<const LocationData> data) : current_(std::move(data)) {}
    std::shared_ptr<const LocationData> Current() const { return current_.load(std::memory_order_acquire); }
    void Replace(std::shared_ptr<const LocationData> data) {
        current_.store(std::move(data), std::memory_order_release);
    }

private:
    std::atomic<std::shared_ptr<const LocationData>> current_;
};

}  // namespace corvane::server
