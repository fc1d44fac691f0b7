#include "getip.h"

#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "key_service.h"
#include "query_string.h"
#include "special_ranges.h"

namespace corvane::server {
namespace {

using corvane::keys::KeyStatus;

constexpr std::string_view kBreak = "<br>";
// The attribution DB-IP's licence asks for, with the link it names.
constexpr std::string_view kAttribution = "IP Geolocation by DB-IP (https://db-ip.com)，CC BY 4.0";
// How much of a refused address is shown back.
constexpr std::size_t kEchoLimit = 60;

constexpr std::string_view kMissingKey =
    "错误: 缺少访问密钥。请点击“获取Key”，在密钥页面（本服务的 /key）免费领取一个，填入“Key”一栏后再查询。";
constexpr std::string_view kUnknownKey =
    "错误: 访问密钥无效。请检查密钥是否完整、没有输错，或在密钥页面（/key）重新领取。";
constexpr std::string_view kTooMany = "错误: 查询过于频繁，请 %u 秒后再试。";
constexpr std::string_view kQuotaUsed =
    "错误: 这个密钥今天的 %u 次查询已经用完，请在 %u 秒后（UTC 零点，北京时间 08:00）再试。";
constexpr std::string_view kBadAddress =
    "错误: 地址格式不正确: “%s”。请输入点分十进制的 IPv4 地址（如 8.8.8.8）或 IPv6 地址"
    "（如 2001:4860:4860::8888），不带前导零、空格或其他字符；多个地址用英文逗号分隔。";
constexpr std::string_view kTooManyAddresses = "错误: 一次最多查询 %u 个地址（收到 %u 个）。";
constexpr std::string_view kLookupFailed = "错误: 查询数据库失败，请稍后再试。";

template <typename... Args>
std::string Format(std::string_view pattern, Args... args) {
    char buffer[1024];
    const int length = std::snprintf(buffer, sizeof buffer, std::string(pattern).c_str(), args...);
    return std::string(buffer, length < 0 ? 0 : std::min<std::size_t>(length, sizeof buffer - 1));
}

std::string_view Trim(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The client's bytes shown back: printable ASCII only, so that nothing the
// client sends can make the reply say more than it means (no "<br>", no bytes
// that would join a GBK character).
std::string Echo(std::string_view text) {
    std::string shown;
    for (const char c : text.substr(0, kEchoLimit)) {
        const bool plain = c >= 0x20 && c < 0x7f && c != '<' && c != '>';
        shown += plain ? c : '?';
    }
    if (text.size() > kEchoLimit) shown += "…";
    return shown;
}

std::string Coordinates(const CityRecord& record) {
    constexpr int kDecimals = 4;  // about 10 m, finer than the data
    char text[64];
    char* end = std::to_chars(text, text + 30, *record.latitude, std::chars_format::fixed, kDecimals).ptr;
    *end++ = ',';
    *end++ = ' ';
    end = std::to_chars(end, text + sizeof text, *record.longitude, std::chars_format::fixed, kDecimals).ptr;
    return std::string(text, end);
}

std::string DataLine(const LocationData& data) {
    return "数据: DB-IP Lite City " + data.city_date + "，" + std::string(kAttribution);
}

// Appends "<br>" + label + value.
void AddLine(std::string* out, std::string_view label, std::string_view value) {
    out->append(kBreak).append(label).append(value);
}

// One address's lines; false when the database failed.
bool Describe(const GetipContext& context, const IpAddress& address, bool own, std::string* out) {
    out->append("IP: ").append(address.ToString());
    if (own) out->append("（你的地址）");
    if (const SpecialRange* special = FindSpecialRange(address)) {
        AddLine(out, "类型: ", special->name);
        out->append(" (").append(special->prefix).append(")");
        AddLine(out, "说明: ", special->note);
        return true;
    }
    const CityDatabase& city = address.is_v4() ? *context.data.city_v4 : *context.data.city_v6;
    std::string error;
    const auto record = city.Lookup(address, &error);
    if (!error.empty()) return false;
    if (!record || record->country_code.empty()) {
        AddLine(out, "国家: ", "未知（数据中没有这个地址）");
    } else {
        AddLine(out, "国家: ", context.names.Country(record->country_code));
        out->append(" (").append(record->country_code).append(")");
        AddLine(out, "地区: ",
                record->region.empty() ? "未知" : context.names.Subdivision(record->country_code, record->region));
        AddLine(out, "城市: ", record->city.empty() ? "未知" : record->city);
        if (record->latitude && record->longitude) AddLine(out, "经纬度: ", Coordinates(*record));
    }
    if (const auto asn = context.data.asn.Find(address)) {
        AddLine(out, "网络: AS", std::to_string(asn->number));
        if (!asn->organisation.empty()) out->append(" ").append(asn->organisation);
    } else {
        AddLine(out, "网络: ", "未知");
    }
    return true;
}

// An answer for a refused key use, or std::nullopt when the use was counted.
std::optional<Reply> RefusedUse(const keys::KeyUse& use, std::uint32_t daily_quota) {
    Reply reply;
    switch (use.status) {
        case KeyStatus::kOk: return std::nullopt;
        case KeyStatus::kMissing: return TextReply(401, kMissingKey);
        case KeyStatus::kUnknown: return TextReply(403, kUnknownKey);
        case KeyStatus::kRateLimited:
            reply = TextReply(429, Format(kTooMany, use.retry_after_seconds));
            break;
        case KeyStatus::kQuotaExhausted:
            reply = TextReply(429, Format(kQuotaUsed, daily_quota, use.retry_after_seconds));
            break;
    }
    reply.retry_after_seconds = std::max<std::uint32_t>(1, use.retry_after_seconds);
    return reply;
}

}  // namespace

Reply HandleGetip(const GetipContext& context, std::string_view query,
                  const std::optional<IpAddress>& client) {
    const std::string key(Trim(QueryParameter(query, "key").value_or("")));
    if (key.empty()) return TextReply(401, kMissingKey);

    // Pieces of the list are trimmed; empty pieces are skipped; no address at
    // all asks for the caller's own.
    const std::string list = QueryParameter(query, "ip").value_or("");
    std::vector<std::string_view> pieces;
    for (std::string_view rest = list;;) {
        const auto comma = rest.find(',');
        if (const std::string_view piece = Trim(rest.substr(0, comma)); !piece.empty()) pieces.push_back(piece);
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    if (pieces.size() > kMaxAddressesPerRequest) {
        return TextReply(400, Format(kTooManyAddresses, unsigned(kMaxAddressesPerRequest),
                                     unsigned(pieces.size())));
    }
    std::vector<IpAddress> addresses;
    for (const std::string_view piece : pieces) {
        const auto address = ParseIpAddress(piece);
        if (!address) return TextReply(400, Format(kBadAddress, Echo(piece).c_str()));
        addresses.push_back(*address);
    }
    bool own = false;
    if (addresses.empty()) {
        if (!client) return TextReply(400, Format(kBadAddress, ""));
        addresses.push_back(*client);
        own = true;
    }

    // Each address counts as one lookup of the key's quota.
    std::string body;
    std::uint32_t remaining = 0;
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        const keys::KeyUse use = context.keys.Use(key);
        if (auto refused = RefusedUse(use, context.daily_quota)) {
            if (i == 0) return std::move(*refused);
            body += std::string(kBreak) + std::string(kBreak) + "其余 " +
                    std::to_string(addresses.size() - i) + " 个地址未查询: " +
                    (use.status == KeyStatus::kQuotaExhausted ? "今天的查询次数已经用完。"
                                                              : "查询过于频繁，请稍后再试。");
            break;
        }
        remaining = use.remaining_today;
        if (i > 0) body += std::string(kBreak) + std::string(kBreak);
        if (!Describe(context, addresses[i], own, &body)) return TextReply(500, kLookupFailed);
    }
    body += std::string(kBreak) + std::string(kBreak) + DataLine(context.data);
    body += std::string(kBreak) + "今日剩余查询次数: " + std::to_string(remaining);
    return TextReply(200, body);
}

}  // namespace corvane::server
