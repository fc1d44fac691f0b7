// The text form of an access key: "cvk_", 22 random base62 characters and a
// 6-character base62 CRC-32 of everything before it. Only letters, digits and
// "_", so a key travels unencoded in a URL query; the checksum lets a mistyped
// key be refused before any lookup.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace corvane::keys {

inline constexpr std::string_view kKeyPrefix = "cvk_";
inline constexpr std::size_t kKeyBodyLength = 22;      // 22 base62 characters carry 130 bits
inline constexpr std::size_t kKeyChecksumLength = 6;   // 62^6 > 2^32
inline constexpr std::size_t kKeyLength = kKeyPrefix.size() + kKeyBodyLength + kKeyChecksumLength;

// The text followed by its checksum.
std::string WithChecksum(std::string_view text);

// Builds a key from its random body (kKeyBodyLength base62 characters).
std::string KeyFromBody(std::string_view body);

// A new key from getrandom(); nullopt when the kernel gives no randomness.
std::optional<std::string> GenerateKey();

}  // namespace corvane::keys
