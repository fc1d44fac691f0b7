#include "mo_catalog.h"

#include "file_bytes.h"

#include <cstdint>
#include <cstring>

namespace corvane::server {
namespace {

constexpr std::uint32_t kMagic = 0x950412de;
constexpr std::uint32_t kMagicSwapped = 0xde120495;

class Reader {
public:
    Reader(const std::string& bytes, bool swapped) : bytes_(bytes), swapped_(swapped) {}

    std::optional<std::uint32_t> Word(std::uint64_t offset) const {
        if (offset + 4 > bytes_.size()) return std::nullopt;
        std::uint32_t value;
        std::memcpy(&value, bytes_.data() + offset, 4);
        return swapped_ ? __builtin_bswap32(value) : value;
    }

    // The string described by the (length, offset) pair at `entry`.
    std::optional<std::string> String(std::uint64_t entry) const {
        const auto length = Word(entry);
        const auto offset = Word(entry + 4);
        if (!length || !offset || std::uint64_t{*offset} + *length > bytes_.size()) return std::nullopt;
        return bytes_.substr(*offset, *length);
    }

private:
    const std::string& bytes_;
    bool swapped_;
};

}  // namespace

std::optional<MoCatalog> ReadMoCatalog(const std::string& path, std::string* error) {
    const auto read = ReadFileBytes(path, error);
    if (!read) return std::nullopt;
    const std::string& bytes = *read;
    std::uint32_t magic = 0;
    if (bytes.size() >= 4) std::memcpy(&magic, bytes.data(), 4);
    if (magic != kMagic && magic != kMagicSwapped) {
        *error = path + " is not a gettext catalogue";
        return std::nullopt;
    }
    const Reader reader(bytes, magic == kMagicSwapped);
    const auto count = reader.Word(8);
    const auto originals = reader.Word(12);
    const auto translations = reader.Word(16);
    if (!count || !originals || !translations) {
        *error = path + " is truncated";
        return std::nullopt;
    }
    MoCatalog catalog;
    catalog.reserve(*count);
    for (std::uint32_t i = 0; i < *count; ++i) {
        auto original = reader.String(std::uint64_t{*originals} + 8ull * i);
        auto translation = reader.String(std::uint64_t{*translations} + 8ull * i);
        if (!original || !translation) {
            *error = path + " is truncated";
            return std::nullopt;
        }
        // Entries with a context or plural forms hold a zero byte; country and
        // region names have neither, and the header entry has an empty original.
        if (original->empty() || original->find('\0') != std::string::npos) continue;
        catalog.emplace(std::move(*original), std::move(*translation));
    }
    return catalog;
}

}  // namespace corvane::server
