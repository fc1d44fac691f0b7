// Address ranges to autonomous system number and organisation, held sorted in
// memory and searched by binary search.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ip_address.h"

namespace corvane::server {

struct AsnInfo {
    std::uint32_t number = 0;
    std::string_view organisation;  // lives as long as the table
};

class AsnTable {
public:
    // Reads the IPv4 ranges as numbers ("16777216,16777471,13335,Org") and the
    // IPv6 ranges as addresses ("2001::,2001::ffff:…,6939,Org"). Lines that do
    // not parse are skipped; std::nullopt with *error when a file cannot be read.
    static std::optional<AsnTable> Load(const std::string& v4_csv, const std::string& v6_csv,
                                        std::string* error);

    std::optional<AsnInfo> Find(const IpAddress& address) const;
    std::size_t size() const { return v4_.size() + v6_.size(); }

private:
    struct V6Number {
        std::uint64_t high = 0, low = 0;
        auto operator<=>(const V6Number&) const = default;
    };
    template <typename Number>
    struct Range {
        Number first, last;
        std::uint32_t asn;
        std::uint32_t organisation;  // offset into organisations_
        std::uint32_t organisation_size;
    };

    static V6Number ToV6Number(const std::uint8_t* bytes);
    template <typename Number>
    std::optional<AsnInfo> Search(const std::vector<Range<Number>>& ranges, Number value) const;

    std::vector<Range<std::uint32_t>> v4_;
    std::vector<Range<V6Number>> v6_;
    std::string organisations_;
};

}  // namespace corvane::server
