#include "issuance_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cstring>

namespace corvane::keys {
namespace {

constexpr std::size_t kMaxAddressText = 64;  // longer text is no address
constexpr std::size_t kPrefixBytes = 8;      // an IPv6 /64

}  // namespace

std::string IssuanceClient(std::string_view client_address) {
    if (client_address.size() > kMaxAddressText) return std::string(client_address);
    const std::string text(client_address);
    in6_addr address;
    if (inet_pton(AF_INET6, text.c_str(), &address) != 1) return text;

    char formatted[INET6_ADDRSTRLEN];
    if (IN6_IS_ADDR_V4MAPPED(&address)) {
        return inet_ntop(AF_INET, &address.s6_addr[12], formatted, sizeof formatted) ? formatted : text;
    }
    std::memset(&address.s6_addr[kPrefixBytes], 0, sizeof address.s6_addr - kPrefixBytes);
    if (!inet_ntop(AF_INET6, &address, formatted, sizeof formatted)) return text;
    return std::string(formatted) + "/64";
}

}  // namespace corvane::keys
