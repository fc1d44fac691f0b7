#include "asn_table.h"

#include "file_bytes.h"

#include <arpa/inet.h>

#include <algorithm>
#include <charconv>
#include <deque>
#include <tuple>
#include <unordered_map>

namespace corvane::server {
namespace {

// One CSV field from the front of `line`: plain, or quoted with "" for a
// quote. A quoted field is unquoted into *unquoted, which the result views.
std::string_view NextField(std::string_view& line, std::string* unquoted) {
    if (!line.empty() && line.front() == '"') {
        std::string& field = *unquoted;
        field.clear();
        std::size_t i = 1;
        for (; i < line.size(); ++i) {
            if (line[i] == '"') {
                if (i + 1 < line.size() && line[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    break;
                }
            } else {
                field += line[i];
            }
        }
        line.remove_prefix(std::min(line.size(), i + 1));
        if (!line.empty() && line.front() == ',') line.remove_prefix(1);
        return field;
    }
    const auto comma = line.find(',');
    const std::string_view field = line.substr(0, comma);
    line.remove_prefix(comma == std::string_view::npos ? line.size() : comma + 1);
    return field;
}

template <typename Integer>
bool ParseNumber(std::string_view text, Integer* value) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), *value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// Stores each distinct organisation name once.
class OrganisationPool {
public:
    explicit OrganisationPool(std::string& storage) : storage_(storage) {}
    std::pair<std::uint32_t, std::uint32_t> Add(std::string_view name) {
        const auto found = offsets_.find(name);
        if (found != offsets_.end()) return {found->second, static_cast<std::uint32_t>(name.size())};
        const auto offset = static_cast<std::uint32_t>(storage_.size());
        storage_ += name;
        // The key views a stable copy: storage_ moves as it grows.
        offsets_.emplace(names_.emplace_back(name), offset);
        return {offset, static_cast<std::uint32_t>(name.size())};
    }

private:
    std::string& storage_;
    std::deque<std::string> names_;
    std::unordered_map<std::string_view, std::uint32_t> offsets_;
};

template <typename Callback>
void ForEachLine(std::string_view text, Callback&& callback) {
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty()) callback(line);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
}

}  // namespace

AsnTable::V6Number AsnTable::ToV6Number(const std::uint8_t* bytes) {
    V6Number number;
    for (int i = 0; i < 8; ++i) number.high = (number.high << 8) | bytes[i];
    for (int i = 8; i < 16; ++i) number.low = (number.low << 8) | bytes[i];
    return number;
}

std::optional<AsnTable> AsnTable::Load(const std::string& v4_csv, const std::string& v6_csv,
                                       std::string* error) {
    const auto v4_text = ReadFileBytes(v4_csv, error);
    if (!v4_text) return std::nullopt;
    const auto v6_text = ReadFileBytes(v6_csv, error);
    if (!v6_text) return std::nullopt;

    AsnTable table;
    OrganisationPool pool(table.organisations_);
    std::string scratch[4];  // unquoted fields of one line
    ForEachLine(*v4_text, [&](std::string_view line) {
        const std::string_view first = NextField(line, &scratch[0]);
        const std::string_view last = NextField(line, &scratch[1]);
        const std::string_view asn = NextField(line, &scratch[2]);
        const std::string_view organisation = NextField(line, &scratch[3]);
        Range<std::uint32_t> range{};
        if (!ParseNumber(first, &range.first) || !ParseNumber(last, &range.last) ||
            !ParseNumber(asn, &range.asn) || range.first > range.last) {
            return;
        }
        std::tie(range.organisation, range.organisation_size) = pool.Add(organisation);
        table.v4_.push_back(range);
    });
    ForEachLine(*v6_text, [&](std::string_view line) {
        const std::string first(NextField(line, &scratch[0]));
        const std::string last(NextField(line, &scratch[1]));
        const std::string_view asn = NextField(line, &scratch[2]);
        const std::string_view organisation = NextField(line, &scratch[3]);
        std::uint8_t first_bytes[16], last_bytes[16];
        Range<V6Number> range{};
        if (inet_pton(AF_INET6, first.c_str(), first_bytes) != 1 ||
            inet_pton(AF_INET6, last.c_str(), last_bytes) != 1 || !ParseNumber(asn, &range.asn)) {
            return;
        }
        range.first = ToV6Number(first_bytes);
        range.last = ToV6Number(last_bytes);
        if (range.first > range.last) return;
        std::tie(range.organisation, range.organisation_size) = pool.Add(organisation);
        table.v6_.push_back(range);
    });
    const auto by_first = [](const auto& a, const auto& b) { return a.first < b.first; };
    std::sort(table.v4_.begin(), table.v4_.end(), by_first);
    std::sort(table.v6_.begin(), table.v6_.end(), by_first);
    return table;
}

template <typename Number>
std::optional<AsnInfo> AsnTable::Search(const std::vector<Range<Number>>& ranges, Number value) const {
    // The last range starting at or before the value holds it, if any does.
    auto it = std::upper_bound(ranges.begin(), ranges.end(), value,
                               [](const Number& v, const auto& range) { return v < range.first; });
    if (it == ranges.begin()) return std::nullopt;
    --it;
    if (value > it->last) return std::nullopt;
    return AsnInfo{it->asn,
                   std::string_view(organisations_).substr(it->organisation, it->organisation_size)};
}

std::optional<AsnInfo> AsnTable::Find(const IpAddress& address) const {
    if (address.is_v4()) return Search(v4_, address.V4Number());
    return Search(v6_, ToV6Number(address.bytes.data()));
}

}  // namespace corvane::server
