#include "city_database.h"

namespace corvane::server {
namespace {

std::string StringValue(MMDB_entry_s* entry, const char* field) {
    MMDB_entry_data_s data{};
    if (MMDB_get_value(entry, &data, field, nullptr) != MMDB_SUCCESS || !data.has_data ||
        data.type != MMDB_DATA_TYPE_UTF8_STRING) {
        return {};
    }
    return std::string(data.utf8_string, data.data_size);
}

std::optional<double> NumberValue(MMDB_entry_s* entry, const char* field) {
    MMDB_entry_data_s data{};
    if (MMDB_get_value(entry, &data, field, nullptr) != MMDB_SUCCESS || !data.has_data) {
        return std::nullopt;
    }
    if (data.type == MMDB_DATA_TYPE_FLOAT) return data.float_value;
    if (data.type == MMDB_DATA_TYPE_DOUBLE) return data.double_value;
    return std::nullopt;
}

}  // namespace

std::unique_ptr<CityDatabase> CityDatabase::Open(const std::string& path, std::string* error) {
    std::unique_ptr<CityDatabase> database(new CityDatabase());
    const int status = MMDB_open(path.c_str(), MMDB_MODE_MMAP, &database->mmdb_);
    if (status != MMDB_SUCCESS) {
        *error = path + ": " + MMDB_strerror(status);
        // MMDB_open leaves nothing to close when it fails.
        database->mmdb_.file_content = nullptr;
        database->mmdb_.filename = nullptr;
        return nullptr;
    }
    return database;
}

CityDatabase::~CityDatabase() {
    if (mmdb_.file_content != nullptr) MMDB_close(&mmdb_);
}

std::optional<CityRecord> CityDatabase::Lookup(const IpAddress& address, std::string* error) const {
    const sockaddr_storage socket_address = address.ToSockaddr();
    int mmdb_error = MMDB_SUCCESS;
    MMDB_lookup_result_s result = MMDB_lookup_sockaddr(
        &mmdb_, reinterpret_cast<const sockaddr*>(&socket_address), &mmdb_error);
    if (mmdb_error != MMDB_SUCCESS) {
        *error = MMDB_strerror(mmdb_error);
        return std::nullopt;
    }
    if (!result.found_entry) return std::nullopt;
    CityRecord record;
    record.country_code = StringValue(&result.entry, "country_code");
    record.region = StringValue(&result.entry, "state1");
    record.city = StringValue(&result.entry, "city");
    record.latitude = NumberValue(&result.entry, "latitude");
    record.longitude = NumberValue(&result.entry, "longitude");
    return record;
}

}  // namespace corvane::server
