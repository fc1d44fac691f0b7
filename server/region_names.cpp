#include "region_names.h"

#include <boost/json/src.hpp>

#include <cctype>

#include "file_bytes.h"
#include "mo_catalog.h"

namespace corvane::server {
namespace {

constexpr std::string_view kTranslationLocale = "zh_CN";

std::optional<boost::json::value> ReadJson(const std::string& path, std::string* error) {
    const auto text = ReadFileBytes(path, error);
    if (!text) return std::nullopt;
    boost::system::error_code code;
    auto value = boost::json::parse(*text, code);
    if (code) {
        *error = path + ": " + code.message();
        return std::nullopt;
    }
    return value;
}

std::string StringField(const boost::json::object& object, std::string_view name) {
    const auto* value = object.if_contains(name);
    if (value == nullptr || !value->is_string()) return {};
    return std::string(value->as_string());
}

// Lower case ASCII, letters and digits only, words split by one space, so that
// "Ningxia Huizu" and "ningxia-huizu" meet.
std::string Fold(std::string_view name) {
    std::string folded;
    bool gap = false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || byte >= 0x80) {
            if (gap && !folded.empty()) folded += ' ';
            gap = false;
            folded += static_cast<char>(std::tolower(byte));
        } else {
            gap = true;
        }
    }
    return folded;
}

// Where the location data uses an English name that is not the start of the
// iso-codes name: the start of that name instead.
struct SubdivisionAlias {
    std::string_view country, data_name, iso_name;
};
constexpr SubdivisionAlias kAliases[] = {
    {"CN", "Inner Mongolia", "Nei Mongol"},
    {"CN", "Tibet", "Xizang"},
};

std::string_view Alias(std::string_view country, std::string_view name) {
    for (const auto& alias : kAliases) {
        if (alias.country == country && alias.data_name == name) return alias.iso_name;
    }
    return name;
}

std::string Translate(const MoCatalog& catalog, const std::string& english) {
    const auto found = catalog.find(english);
    return found == catalog.end() ? std::string() : found->second;
}

}  // namespace

std::optional<RegionNames> RegionNames::Load(const RegionNamesPaths& paths, std::string* error) {
    const std::string messages =
        paths.locale_dir + "/" + std::string(kTranslationLocale) + "/LC_MESSAGES/";
    const auto countries_json = ReadJson(paths.iso_codes_json_dir + "/iso_3166-1.json", error);
    if (!countries_json) return std::nullopt;
    const auto subdivisions_json = ReadJson(paths.iso_codes_json_dir + "/iso_3166-2.json", error);
    if (!subdivisions_json) return std::nullopt;
    const auto country_catalog = ReadMoCatalog(messages + "iso_3166-1.mo", error);
    if (!country_catalog) return std::nullopt;
    const auto subdivision_catalog = ReadMoCatalog(messages + "iso_3166-2.mo", error);
    if (!subdivision_catalog) return std::nullopt;

    RegionNames names;
    const auto* country_list = countries_json->as_object().if_contains("3166-1");
    const auto* subdivision_list = subdivisions_json->as_object().if_contains("3166-2");
    if (country_list == nullptr || !country_list->is_array() || subdivision_list == nullptr ||
        !subdivision_list->is_array()) {
        *error = "the iso-codes files have an unexpected layout";
        return std::nullopt;
    }
    for (const auto& entry : country_list->as_array()) {
        if (!entry.is_object()) continue;
        const auto& object = entry.as_object();
        const std::string code = StringField(object, "alpha_2");
        const std::string english = StringField(object, "name");
        if (code.empty() || english.empty()) continue;
        std::string chinese = Translate(*country_catalog, english);
        names.countries_[code] = chinese.empty() ? english : chinese;
    }
    for (const auto& entry : subdivision_list->as_array()) {
        if (!entry.is_object()) continue;
        const auto& object = entry.as_object();
        const std::string code = StringField(object, "code");  // "CN-GD"
        const std::string english = StringField(object, "name");
        const auto dash = code.find('-');
        if (dash == std::string::npos || english.empty()) continue;
        names.subdivisions_[code.substr(0, dash)].push_back(
            {Fold(english), Translate(*subdivision_catalog, english)});
    }
    return names;
}

std::string RegionNames::Country(std::string_view alpha2) const {
    const auto found = countries_.find(std::string(alpha2));
    return found == countries_.end() ? std::string(alpha2) : found->second;
}

std::string RegionNames::Subdivision(std::string_view alpha2, std::string_view english) const {
    const auto list = subdivisions_.find(std::string(alpha2));
    const std::string key = Fold(Alias(alpha2, english));
    if (list == subdivisions_.end() || key.empty()) return std::string(english);

    // The location data names subdivisions without their kind ("Guangdong"
    // for "Guangdong Sheng"): an exact match wins, else the one name that
    // starts with the same words.
    const SubdivisionName* prefix_match = nullptr;
    int prefix_matches = 0;
    for (const auto& candidate : list->second) {
        if (candidate.key == key) {
            return candidate.chinese.empty() ? std::string(english) : candidate.chinese;
        }
        if (candidate.key.size() > key.size() && candidate.key.starts_with(key) &&
            candidate.key[key.size()] == ' ') {
            prefix_match = &candidate;
            ++prefix_matches;
        }
    }
    if (prefix_matches == 1 && !prefix_match->chinese.empty()) return prefix_match->chinese;
    return std::string(english);
}

}  // namespace corvane::server
