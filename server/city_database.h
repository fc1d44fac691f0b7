// One DB-IP city database in MMDB form, memory-mapped by libmaxminddb.
#pragma once

#include <maxminddb.h>

#include <ctime>
#include <memory>
#include <optional>
#include <string>

#include "ip_address.h"

namespace corvane::server {

struct CityRecord {
    std::string country_code;  // "US"
    std::string region;        // English: "California"
    std::string city;          // English: "Mountain View"
    std::optional<double> latitude, longitude;
};

class CityDatabase {
public:
    // nullptr with *error set when the file cannot be opened as MMDB.
    static std::unique_ptr<CityDatabase> Open(const std::string& path, std::string* error);
    ~CityDatabase();
    CityDatabase(const CityDatabase&) = delete;
    CityDatabase& operator=(const CityDatabase&) = delete;

    // Looks the address up by socket address (never through getaddrinfo).
    // std::nullopt when the database has no entry; *error set when the
    // database itself fails.
    std::optional<CityRecord> Lookup(const IpAddress& address, std::string* error) const;

    std::time_t build_time() const { return static_cast<std::time_t>(mmdb_.metadata.build_epoch); }
    int ip_version() const { return mmdb_.metadata.ip_version; }

private:
    CityDatabase() = default;
    MMDB_s mmdb_{};
};

}  // namespace corvane::server
