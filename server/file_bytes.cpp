#include "file_bytes.h"

#include <fstream>

namespace corvane::server {

std::optional<std::string> ReadFileBytes(const std::string& path, std::string* error) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (file) {
        std::string bytes(static_cast<std::size_t>(file.tellg()), '\0');
        file.seekg(0);
        if (file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) return bytes;
    }
    *error = "cannot read " + path;
    return std::nullopt;
}

}  // namespace corvane::server
