// An IPv4 or IPv6 address, parsed strictly.
#pragma once

#include <sys/socket.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvane::server {

struct IpAddress {
    int family = AF_INET;                   // AF_INET or AF_INET6
    std::array<std::uint8_t, 16> bytes{};  // network order; IPv4 uses the first four

    bool is_v4() const { return family == AF_INET; }
    std::string ToString() const;
    // The IPv4 address as a number (host order); only for is_v4().
    std::uint32_t V4Number() const;
    // A socket address for lookups that want one (port 0).
    sockaddr_storage ToSockaddr() const;

    friend bool operator==(const IpAddress&, const IpAddress&) = default;
};

// Dotted-decimal IPv4 ("8.8.8.8", no leading zeros, exactly four parts) or
// IPv6 text, through inet_pton: the short, octal, hexadecimal and integer forms
// that inet_aton and getaddrinfo accept ("127.1", "0x7f.0.0.1", "2130706433")
// are refused, and nothing here ever resolves a name. An IPv4-mapped IPv6
// address ("::ffff:8.8.8.8") becomes the IPv4 address it carries.
std::optional<IpAddress> ParseIpAddress(std::string_view text);

// The address of a connected peer, IPv4-mapped addresses unwrapped.
std::optional<IpAddress> FromSockaddr(const sockaddr* address);

}  // namespace corvane::server
