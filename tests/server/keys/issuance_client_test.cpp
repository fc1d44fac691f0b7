#include <gtest/gtest.h>

#include "issuance_client.h"

namespace corvane::keys {
namespace {

TEST(IssuanceClient, GroupsIpv6ByPrefixAndMapsIpv4) {
    const struct {
        const char* address;
        const char* client;
    } cases[] = {
        {"192.0.2.1", "192.0.2.1"},
        {"2001:db8:1:2:aaaa:bbbb:cccc:dddd", "2001:db8:1:2::/64"},
        {"2001:db8:1:2::1", "2001:db8:1:2::/64"},
        {"2001:DB8:1:2::1", "2001:db8:1:2::/64"},
        {"::1", "::/64"},
        {"::ffff:192.0.2.7", "192.0.2.7"},
        {"", ""},
        {"not an address", "not an address"},
    };
    for (const auto& c : cases) EXPECT_EQ(IssuanceClient(c.address), c.client) << c.address;
}

}  // namespace
}  // namespace corvane::keys
