// A whole file read into memory in one go.
#pragma once

#include <optional>
#include <string>

namespace corvane::server {

// The file's bytes; std::nullopt with *error set when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::string& path, std::string* error);

}  // namespace corvane::server
