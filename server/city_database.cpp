#include "city_database.h"

#include <string_view>

namespace corvane::server {
namespace {

struct EntryListDeleter {
    void operator()(MMDB_entry_data_list_s* list) const { MMDB_free_entry_data_list(list); }
};
using EntryList = std::unique_ptr<MMDB_entry_data_list_s, EntryListDeleter>;

std::optional<double> Number(const MMDB_entry_data_s& data) {
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
    // One walk over the record's map: looking each field up by name walks
    // the map once per field and took twice as long as the lookup itself.
    MMDB_entry_data_list_s* raw_list = nullptr;
    if (const int status = MMDB_get_entry_data_list(&result.entry, &raw_list); status != MMDB_SUCCESS) {
        *error = MMDB_strerror(status);
        return std::nullopt;
    }
    const EntryList list(raw_list);
    CityRecord record;
    if (list == nullptr || list->entry_data.type != MMDB_DATA_TYPE_MAP) return record;
    const MMDB_entry_data_list_s* item = list->next;
    for (std::uint32_t i = 0; i < list->entry_data.data_size && item != nullptr && item->next != nullptr; ++i) {
        const MMDB_entry_data_s& key = item->entry_data;
        const MMDB_entry_data_s& value = item->next->entry_data;
        item = item->next->next;
        if (key.type != MMDB_DATA_TYPE_UTF8_STRING) continue;
        const std::string_view name(key.utf8_string, key.data_size);
        const bool text = value.type == MMDB_DATA_TYPE_UTF8_STRING;
        if (name == "country_code" && text) {
            record.country_code.assign(value.utf8_string, value.data_size);
        } else if (name == "state1" && text) {
            record.region.assign(value.utf8_string, value.data_size);
        } else if (name == "city" && text) {
            record.city.assign(value.utf8_string, value.data_size);
        } else if (name == "latitude") {
            record.latitude = Number(value);
        } else if (name == "longitude") {
            record.longitude = Number(value);
        }
        // Nested values (none in this data) would need skipping; stop rather than misread.
        if (value.type == MMDB_DATA_TYPE_MAP || value.type == MMDB_DATA_TYPE_ARRAY) break;
    }
    return record;
}

}  // namespace corvane::server
