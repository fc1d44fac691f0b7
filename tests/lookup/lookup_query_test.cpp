#include "lookup_query.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "corvane_config.h"

namespace corvane {
namespace {

// Records every URL it is asked for and answers with chosen bytes.
class FakeFetcher : public PageFetcher {
public:
    explicit FakeFetcher(std::string reply) : reply_(std::move(reply)) {}
    ByteBuffer Fetch(std::string_view url) override {
        urls.emplace_back(url);
        return ByteBuffer(reply_.begin(), reply_.end());
    }
    std::vector<std::string> urls;

private:
    std::string reply_;
};

const std::string kServer = std::string("http://") + CORVANE_SERVER_ADDRESS + ":";

TEST(ComposeLookupUrl, JoinsPiecesAsTyped) {
    struct Case {
        std::string port, address, key, expected_tail;
    };
    const Case cases[] = {
        {"2100", "8.8.8.8", "K1", "2100/getip?ip=8.8.8.8&key=K1"},
        {"2500", "", "", "2500/getip?ip=&key="},
        // A selection outside the list gives an empty port piece.
        {"", "1.2.3.4", "k", "/getip?ip=1.2.3.4&key=k"},
        // Nothing trimmed or encoded: spaces, '&', '#', GBK bytes stay.
        {"2200", " 1.2.3.4 ", "a b&c", "2200/getip?ip= 1.2.3.4 &key=a b&c"},
        {"2300", "1.2#3", "\xd6\xd0", "2300/getip?ip=1.2#3&key=\xd6\xd0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ComposeLookupUrl(c.port, c.address, c.key), kServer + c.expected_tail);
    }
}

TEST(ReplyToText, CutsAtFirstZeroByte) {
    const std::string with_zero("ab\0cd", 5);
    EXPECT_EQ(ReplyToText(ByteBuffer(with_zero.begin(), with_zero.end())), "ab");
    EXPECT_EQ(ReplyToText(ByteBuffer{}), "");
    EXPECT_EQ(ReplyToText(ByteBuffer{'\0', 'x'}), "");
    EXPECT_EQ(ReplyToText(ByteBuffer{'\xd6', '\xd0'}), "\xd6\xd0");
}

TEST(LookupQuery, FetchesComposedUrlOnceAndConvertsLineBreaks) {
    FakeFetcher fetcher("Line1<br>Line2<BR>Line3<br/>");
    EXPECT_EQ(LookupQuery(fetcher, "2400", "1.2.3.4", "KEY"), "Line1\r\nLine2\r\nLine3<br/>");
    ASSERT_EQ(fetcher.urls.size(), 1u);
    EXPECT_EQ(fetcher.urls[0], kServer + "2400/getip?ip=1.2.3.4&key=KEY");
}

TEST(LookupQuery, ReplyIsShownOnlyUpToZeroByte) {
    FakeFetcher fetcher(std::string("IP: 1.2.3.4<br>\xd6\xd0\xb9\xfa\0<br>hidden", 29));
    EXPECT_EQ(LookupQuery(fetcher, "2100", "1.2.3.4", "k"), "IP: 1.2.3.4\r\n\xd6\xd0\xb9\xfa");
}

TEST(LookupQuery, EmptyReplyGivesEmptyResult) {
    FakeFetcher fetcher("");
    EXPECT_EQ(LookupQuery(fetcher, "2100", "", ""), "");
    ASSERT_EQ(fetcher.urls.size(), 1u);
}

}  // namespace
}  // namespace corvane
