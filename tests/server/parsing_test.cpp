// Query strings, addresses and special ranges: the parsing every request goes through.
#include <gtest/gtest.h>

#include "ip_address.h"
#include "query_string.h"
#include "special_ranges.h"

namespace corvane::server {
namespace {

TEST(QueryStringTest, DecodesWhatTheToolAndBrowsersSend) {
    EXPECT_EQ(PercentDecode("8.8.8.8"), "8.8.8.8");
    EXPECT_EQ(PercentDecode("%20a+b%2c%2C"), " a b,,");
    // A "%" that starts no escape is kept: the tool never encodes what is typed.
    EXPECT_EQ(PercentDecode("100%"), "100%");
    EXPECT_EQ(PercentDecode("%4"), "%4");
    EXPECT_EQ(PercentDecode("%zz%4g"), "%zz%4g");
    EXPECT_EQ(PercentDecode("%00"), std::string(1, '\0'));

    EXPECT_EQ(SplitTarget("/getip?ip=1&key=2").path, "/getip");
    EXPECT_EQ(SplitTarget("/getip?ip=1&key=2").query, "ip=1&key=2");
    EXPECT_EQ(SplitTarget("/key").query, "");

    EXPECT_EQ(QueryParameter("ip=8.8.8.8&key=abc", "key"), "abc");
    EXPECT_EQ(QueryParameter("ip=&key=abc", "ip"), "");
    EXPECT_EQ(QueryParameter("ip&key=abc", "ip"), "");
    EXPECT_EQ(QueryParameter("key=abc", "ip"), std::nullopt);
    EXPECT_EQ(QueryParameter("ipx=1&ip=2&ip=3", "ip"), "2");  // the first one counts
    EXPECT_EQ(QueryParameter("%69p=1", "ip"), "1");
    EXPECT_EQ(QueryParameter("&&ip=1&", "ip"), "1");
    EXPECT_EQ(QueryParameter("", "ip"), std::nullopt);
}

TEST(IpAddressTest, AcceptsOnlyStrictForms) {
    for (const char* text : {"8.8.8.8", "0.0.0.0", "255.255.255.255", "::", "::1", "2001:db8::1",
                             "2001:4860:4860:0:0:0:0:8888", "::ffff:1.2.3.4"}) {
        EXPECT_TRUE(ParseIpAddress(text)) << text;
    }
    for (const char* text : {"", "1.2.3", "256.1.1.1", "1.1.1.one", "01.2.3.4", "1.2.3.04", "127.1", "0x7f.0.0.1",
                             "2130706433", " 8.8.8.8", "8.8.8.8 ", "8.8.8.8.", "1.2.3.4/32", "1::2::3",
                             "fe80::1%eth0", "[::1]", "localhost", "１.２.３.４"}) {
        EXPECT_FALSE(ParseIpAddress(text)) << text;
    }
    EXPECT_FALSE(ParseIpAddress(std::string_view("8.8.8.8\0x", 9)));
    EXPECT_FALSE(ParseIpAddress(std::string(100, '1')));
}

TEST(IpAddressTest, MappedAddressesBecomeIpv4AndTextRoundTrips) {
    const auto mapped = ParseIpAddress("::ffff:8.8.4.4");
    ASSERT_TRUE(mapped);
    EXPECT_TRUE(mapped->is_v4());
    EXPECT_EQ(mapped->ToString(), "8.8.4.4");
    EXPECT_EQ(mapped->V4Number(), 0x08080404u);
    EXPECT_EQ(ParseIpAddress("2001:0db8:0:0::0001")->ToString(), "2001:db8::1");

    const sockaddr_storage socket_address = mapped->ToSockaddr();
    EXPECT_EQ(FromSockaddr(reinterpret_cast<const sockaddr*>(&socket_address)), mapped);
}

TEST(SpecialRangesTest, NamesEachRangeAtItsEdges) {
    const std::pair<const char*, const char*> cases[] = {
        {"0.1.2.3", "本网络地址"},          {"10.255.255.255", "私有网络地址"}, {"100.64.0.0", "运营商级 NAT 共享地址"},
        {"100.127.255.255", "运营商级 NAT 共享地址"}, {"127.8.9.10", "本机回环地址"}, {"169.254.0.1", "链路本地地址"},
        {"172.16.0.1", "私有网络地址"},     {"172.31.255.255", "私有网络地址"}, {"192.0.2.200", "文档示例地址"},
        {"192.168.0.1", "私有网络地址"},    {"198.19.1.1", "网络测试地址"},     {"224.0.0.1", "组播地址"},
        {"239.255.255.255", "组播地址"},    {"240.0.0.1", "保留地址"},          {"255.255.255.255", "受限广播地址"},
        {"::", "未指定地址"},                {"::1", "本机回环地址"},            {"fe80::1", "链路本地地址"},
        {"febf::1", "链路本地地址"},         {"fd00::1", "唯一本地地址"},        {"2001:db8:ffff::1", "文档示例地址"},
        {"ff02::1", "组播地址"},             {"64:ff9b::808:808", "IPv4/IPv6 转换地址"},
    };
    for (const auto& [text, name] : cases) {
        const SpecialRange* range = FindSpecialRange(*ParseIpAddress(text));
        ASSERT_NE(range, nullptr) << text;
        EXPECT_EQ(range->name, name) << text;
    }
    for (const char* text : {"1.0.0.0", "9.255.255.255", "11.0.0.0", "100.63.255.255", "100.128.0.0", "172.15.255.255",
                             "172.32.0.0", "192.0.3.1", "192.169.0.1", "198.20.0.0", "223.255.255.255", "8.8.8.8",
                             "::2", "2001:db9::1", "2001:4860:4860::8888"}) {
        EXPECT_EQ(FindSpecialRange(*ParseIpAddress(text)), nullptr) << text;
    }
}

}  // namespace
}  // namespace corvane::server
