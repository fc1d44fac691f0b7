// The stored form of a key: its SHA-256, so the store never holds a usable key.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace corvane::keys {

using KeyHash = std::array<std::uint8_t, 32>;

KeyHash HashKey(std::string_view key);

struct KeyHashHasher {
    std::size_t operator()(const KeyHash& hash) const noexcept {
        // The digest is already uniform; its first bytes make a good bucket index.
        std::size_t value;
        std::memcpy(&value, hash.data(), sizeof value);
        return value;
    }
};

}  // namespace corvane::keys
