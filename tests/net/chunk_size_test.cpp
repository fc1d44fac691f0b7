#include "chunk_size.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace corvane::net {
namespace {

TEST(ChunkSizeFor, FollowsContentLength) {
    struct Case {
        std::optional<std::string> content_length;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {std::nullopt, 10240},  // no header
        {"0", 10240},
        {"1", 2},
        {"10239", 10240},
        {"102398", 102399},
        {"102399", 102400},
        {"102400", 102400},
        {"5000000", 102400},
        {"-5", 10240},
        {"-0", 10240},
        {"", 10240},
        {"abc", 10240},  // no digits
        {"+17", 18},
        {" \t42", 43},          // leading white space skipped
        {"12abc", 13},          // digits up to the first other character
        {"1 2", 2},
        {"- 5", 10240},         // a sign must touch the digits
        // 31 characters still fit the 32-byte area; 32 or more do not.
        {std::string(30, '0') + "7", 8},
        {std::string(31, '0') + "7", 10240},
        {std::string(40, '9'), 10240},
        // Within the area but beyond any integer: saturates, never wraps.
        {std::string(31, '9'), 102400},
        {"-" + std::string(30, '9'), 10240},
        {"4294967297", 102400},  // 2^32 + 1 must not wrap to 1
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content_length.value_or("<none>"));
        const std::optional<std::string_view> text =
            c.content_length ? std::optional<std::string_view>(*c.content_length) : std::nullopt;
        EXPECT_EQ(ChunkSizeFor(text), c.expected);
    }
}

TEST(AnnouncedLength, IsThePositiveNumberTheRuleReads) {
    EXPECT_EQ(AnnouncedLength("5000000"), 5000000u);
    EXPECT_EQ(AnnouncedLength(" +12abc"), 12u);
    EXPECT_EQ(AnnouncedLength(std::nullopt), std::nullopt);
    EXPECT_EQ(AnnouncedLength("0"), std::nullopt);
    EXPECT_EQ(AnnouncedLength("-5"), std::nullopt);
    EXPECT_EQ(AnnouncedLength("many"), std::nullopt);
    EXPECT_EQ(AnnouncedLength(std::string(28, '0') + "3000"), std::nullopt);  // 32 characters
    EXPECT_GT(AnnouncedLength(std::string(31, '9')), 1u << 31);  // saturated, not wrapped
}

}  // namespace
}  // namespace corvane::net
