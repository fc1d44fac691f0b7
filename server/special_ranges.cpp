#include "special_ranges.h"

#include <arpa/inet.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

namespace corvane::server {
namespace {

struct Entry {
    SpecialRange range;
    int family;
    std::uint8_t network[16];
    int prefix_length;
};

constexpr std::string_view kNoLocation = "不在公网上使用，没有地理位置";

// Most specific first: the first match is the answer.
constexpr SpecialRange kRanges[] = {
    {"255.255.255.255/32", "受限广播地址", "只在本地网段内广播，没有地理位置"},
    {"0.0.0.0/8", "本网络地址", "表示“本网络”或未指定地址，没有地理位置"},
    {"10.0.0.0/8", "私有网络地址", "局域网内部使用，没有地理位置"},
    {"100.64.0.0/10", "运营商级 NAT 共享地址", "运营商内部网络使用，没有地理位置"},
    {"127.0.0.0/8", "本机回环地址", "指向本机，没有地理位置"},
    {"169.254.0.0/16", "链路本地地址", "未获得地址时自动分配，只在本地链路有效，没有地理位置"},
    {"172.16.0.0/12", "私有网络地址", "局域网内部使用，没有地理位置"},
    {"192.0.0.0/24", "IETF 协议分配地址", kNoLocation},
    {"192.0.2.0/24", "文档示例地址", "只用于文档和示例，没有地理位置"},
    {"192.88.99.0/24", "保留地址（原 6to4 中继）", kNoLocation},
    {"192.168.0.0/16", "私有网络地址", "局域网内部使用，没有地理位置"},
    {"198.18.0.0/15", "网络测试地址", "用于网络设备性能测试，没有地理位置"},
    {"198.51.100.0/24", "文档示例地址", "只用于文档和示例，没有地理位置"},
    {"203.0.113.0/24", "文档示例地址", "只用于文档和示例，没有地理位置"},
    {"224.0.0.0/4", "组播地址", "一对多通信使用，没有地理位置"},
    {"240.0.0.0/4", "保留地址", "保留给将来使用，没有地理位置"},
    {"::/128", "未指定地址", "表示没有地址，没有地理位置"},
    {"::1/128", "本机回环地址", "指向本机，没有地理位置"},
    {"64:ff9b::/96", "IPv4/IPv6 转换地址", "用于 NAT64 转换，请直接查询其中的 IPv4 地址"},
    {"100::/64", "丢弃地址", "发往此处的数据被丢弃，没有地理位置"},
    {"2001:db8::/32", "文档示例地址", "只用于文档和示例，没有地理位置"},
    {"fc00::/7", "唯一本地地址", "局域网内部使用（相当于私有网络地址），没有地理位置"},
    {"fe80::/10", "链路本地地址", "只在本地链路有效，没有地理位置"},
    {"fec0::/10", "站点本地地址（已废弃）", kNoLocation},
    {"ff00::/8", "组播地址", "一对多通信使用，没有地理位置"},
};

Entry MakeEntry(const SpecialRange& range) {
    Entry entry{range, AF_INET, {}, 0};
    const auto slash = range.prefix.find('/');
    const std::string network(range.prefix.substr(0, slash));
    entry.prefix_length = std::stoi(std::string(range.prefix.substr(slash + 1)));
    if (inet_pton(AF_INET, network.c_str(), entry.network) != 1) {
        entry.family = AF_INET6;
        inet_pton(AF_INET6, network.c_str(), entry.network);
    }
    return entry;
}

const auto& Entries() {
    static const auto entries = [] {
        std::array<Entry, std::size(kRanges)> built{};
        for (std::size_t i = 0; i < built.size(); ++i) built[i] = MakeEntry(kRanges[i]);
        return built;
    }();
    return entries;
}

bool InPrefix(const std::uint8_t* address, const Entry& entry) {
    const int full_bytes = entry.prefix_length / 8;
    if (std::memcmp(address, entry.network, full_bytes) != 0) return false;
    const int rest = entry.prefix_length % 8;
    if (rest == 0) return true;
    const auto mask = static_cast<std::uint8_t>(0xff << (8 - rest));
    return (address[full_bytes] & mask) == (entry.network[full_bytes] & mask);
}

}  // namespace

const SpecialRange* FindSpecialRange(const IpAddress& address) {
    for (const Entry& entry : Entries()) {
        if (entry.family == address.family && InPrefix(address.bytes.data(), entry)) {
            return &entry.range;
        }
    }
    return nullptr;
}

}  // namespace corvane::server
