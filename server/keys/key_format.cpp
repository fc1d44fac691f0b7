#include "key_format.h"

#include <sys/random.h>

#include <array>
#include <cerrno>
#include <cstdint>

#include "key_service.h"

namespace corvane::keys {
namespace {

constexpr std::string_view kAlphabet =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
static_assert(kAlphabet.size() == 62);

// Random bytes at or above this are rejected so that byte % 62 stays uniform.
constexpr unsigned kUniformByteLimit = 256 - 256 % kAlphabet.size();

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    if (c >= 'a' && c <= 'z') return c - 'a' + 36;
    return -1;
}

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t crc = i;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        table[i] = crc;
    }
    return table;
}
constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

// CRC-32 (IEEE): it catches every single changed character and every swap of
// two neighbours, the usual typing mistakes.
std::uint32_t Crc32(std::string_view text) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : text) crc = (crc >> 8) ^ kCrcTable[(crc ^ byte) & 0xFFu];
    return ~crc;
}

std::string EncodeChecksum(std::uint32_t value) {
    std::string digits(kKeyChecksumLength, '0');
    for (std::size_t i = kKeyChecksumLength; i-- > 0;) {
        digits[i] = kAlphabet[value % kAlphabet.size()];
        value /= kAlphabet.size();
    }
    return digits;
}

bool FillRandom(unsigned char* buffer, std::size_t size) {
    while (size > 0) {
        ssize_t got = getrandom(buffer, size, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        buffer += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace

std::string WithChecksum(std::string_view text) {
    return std::string(text) + EncodeChecksum(Crc32(text));
}

std::string KeyFromBody(std::string_view body) {
    return WithChecksum(std::string(kKeyPrefix) + std::string(body));
}

std::optional<std::string> GenerateKey() {
    std::string body;
    body.reserve(kKeyBodyLength);
    unsigned char random[32];
    while (body.size() < kKeyBodyLength) {
        if (!FillRandom(random, sizeof random)) return std::nullopt;
        for (unsigned char byte : random) {
            if (byte >= kUniformByteLimit) continue;
            body += kAlphabet[byte % kAlphabet.size()];
            if (body.size() == kKeyBodyLength) break;
        }
    }
    return KeyFromBody(body);
}

bool IsWellFormedKey(std::string_view key) {
    if (key.size() != kKeyLength || !key.starts_with(kKeyPrefix)) return false;
    const std::string_view signed_part = key.substr(0, kKeyLength - kKeyChecksumLength);
    std::uint64_t checksum = 0;
    for (std::size_t i = kKeyPrefix.size(); i < kKeyLength; ++i) {
        const int digit = DigitValue(key[i]);
        if (digit < 0) return false;
        if (i >= signed_part.size()) checksum = checksum * kAlphabet.size() + static_cast<unsigned>(digit);
    }
    return checksum == Crc32(signed_part);
}

}  // namespace corvane::keys
