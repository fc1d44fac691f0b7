// A gettext message catalogue (.mo file) read into a map, without touching the
// process locale.
#pragma once

#include <optional>
#include <string>
#include <unordered_map>

namespace corvane::server {

using MoCatalog = std::unordered_map<std::string, std::string>;

// Original text to translation; std::nullopt with *error set when the file is
// missing or not a valid catalogue.
std::optional<MoCatalog> ReadMoCatalog(const std::string& path, std::string* error);

}  // namespace corvane::server
