// Chinese names of countries and their subdivisions, from Debian's iso-codes
// data and its zh_CN translations, with the English names as the fallback.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace corvane::server {

struct RegionNamesPaths {
    std::string iso_codes_json_dir = "/usr/share/iso-codes/json";
    std::string locale_dir = "/usr/share/locale";  // holds zh_CN/LC_MESSAGES/iso_3166-*.mo
};

class RegionNames {
public:
    // std::nullopt with *error set when the iso-codes files cannot be read.
    static std::optional<RegionNames> Load(const RegionNamesPaths& paths, std::string* error);

    // "美国" for "US"; the English name where no translation exists; the code
    // itself for a code iso-codes does not know. UTF-8.
    std::string Country(std::string_view alpha2) const;

    // The Chinese name of a subdivision that the location data names in
    // English ("Guangdong" in CN gives "广东省"), or that English name when no
    // subdivision matches or no translation exists. UTF-8.
    std::string Subdivision(std::string_view alpha2, std::string_view english) const;

private:
    struct SubdivisionName {
        std::string key;      // folded English name: "guangdong sheng"
        std::string chinese;  // translation, or empty
    };
    std::unordered_map<std::string, std::string> countries_;  // "US" -> display name
    std::unordered_map<std::string, std::vector<SubdivisionName>> subdivisions_;  // by country
};

}  // namespace corvane::server
