#include "ip_address.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <cstring>

namespace corvane::server {
namespace {

// The longest IPv6 text inet_pton can accept ("ffff:...:255.255.255.255").
constexpr std::size_t kMaxAddressText = INET6_ADDRSTRLEN;

bool IsV4Mapped(const std::uint8_t* bytes) {
    static constexpr std::uint8_t kPrefix[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff};
    return std::memcmp(bytes, kPrefix, sizeof kPrefix) == 0;
}

IpAddress FromV6Bytes(const std::uint8_t* bytes) {
    IpAddress address;
    if (IsV4Mapped(bytes)) {
        address.family = AF_INET;
        std::copy(bytes + 12, bytes + 16, address.bytes.begin());
    } else {
        address.family = AF_INET6;
        std::copy(bytes, bytes + 16, address.bytes.begin());
    }
    return address;
}

}  // namespace

std::string IpAddress::ToString() const {
    char text[INET6_ADDRSTRLEN] = {};
    inet_ntop(family, bytes.data(), text, sizeof text);
    return text;
}

std::uint32_t IpAddress::V4Number() const {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

sockaddr_storage IpAddress::ToSockaddr() const {
    sockaddr_storage storage{};
    if (is_v4()) {
        auto* v4 = reinterpret_cast<sockaddr_in*>(&storage);
        v4->sin_family = AF_INET;
        std::memcpy(&v4->sin_addr, bytes.data(), 4);
    } else {
        auto* v6 = reinterpret_cast<sockaddr_in6*>(&storage);
        v6->sin6_family = AF_INET6;
        std::memcpy(&v6->sin6_addr, bytes.data(), 16);
    }
    return storage;
}

std::optional<IpAddress> ParseIpAddress(std::string_view text) {
    // inet_pton wants a terminated string; an embedded zero byte must not cut
    // the text short and make "8.8.8.8\0junk" pass.
    if (text.empty() || text.size() > kMaxAddressText ||
        text.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    const std::string terminated(text);
    std::uint8_t bytes[16] = {};
    if (inet_pton(AF_INET, terminated.c_str(), bytes) == 1) {
        IpAddress address;
        std::copy(bytes, bytes + 4, address.bytes.begin());
        return address;
    }
    if (inet_pton(AF_INET6, terminated.c_str(), bytes) == 1) return FromV6Bytes(bytes);
    return std::nullopt;
}

std::optional<IpAddress> FromSockaddr(const sockaddr* address) {
    if (address == nullptr) return std::nullopt;
    if (address->sa_family == AF_INET) {
        IpAddress result;
        std::memcpy(result.bytes.data(), &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, 4);
        return result;
    }
    if (address->sa_family == AF_INET6) {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(address);
        return FromV6Bytes(reinterpret_cast<const std::uint8_t*>(&v6->sin6_addr));
    }
    return std::nullopt;
}

}  // namespace corvane::server
