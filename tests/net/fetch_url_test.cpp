#include "fetch_url.h"

#include <gtest/gtest.h>

#include <string>

namespace corvane::net {
namespace {

TEST(CutFragment, DropsFromTheFirstHash) {
    EXPECT_EQ(CutFragment("http://h/p?q=1#top"), "http://h/p?q=1");
    EXPECT_EQ(CutFragment("http://h/p?ip=1#2&key=k#x"), "http://h/p?ip=1");
    EXPECT_EQ(CutFragment("http://h/p"), "http://h/p");
    EXPECT_EQ(CutFragment("#"), "");
}

TEST(CanonicalizeUrl, ResolvesDotSegmentsAndEncodesNothing) {
    struct Case {
        std::string url, expected;
    };
    const Case cases[] = {
        {"http://h:2100/a/./b/../getip?ip=1.2.3.4", "http://h:2100/a/getip?ip=1.2.3.4"},
        {"http://h/a/b/..", "http://h/a/"},
        {"http://h/a/.", "http://h/a/"},
        {"http://h/../../x", "http://h/x"},
        {"http://h/a/..", "http://h/"},
        {"http://h", "http://h"},
        {"http://h?ip=1", "http://h?ip=1"},
        // Dots in the query are not path segments.
        {"http://h/p?x=/../y", "http://h/p?x=/../y"},
        // Spaces, "&", GBK bytes and escapes stay exactly as written.
        {"http://h/g?ip=1 2&key=\xd6\xd0%41%20", "http://h/g?ip=1 2&key=\xd6\xd0%41%20"},
        {"http://h/%2e%2e/x", "http://h/%2e%2e/x"},
        {"HTTP://h/x", "http://h/x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        EXPECT_EQ(CanonicalizeUrl(c.url), c.expected);
    }
    EXPECT_FALSE(CanonicalizeUrl("no scheme here"));
    EXPECT_FALSE(CanonicalizeUrl("://h/x"));
    EXPECT_FALSE(CanonicalizeUrl("1http://h/x"));
}

TEST(CrackUrl, TakesThePartsAsWritten) {
    const auto parts = CrackUrl("https://us%41r:p:w@Host.example:8443/p%20a?x=1&y=2");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->scheme, Scheme::kHttps);
    EXPECT_EQ(parts->user, "us%41r");
    EXPECT_EQ(parts->password, "p:w");
    EXPECT_EQ(parts->host, "Host.example");
    EXPECT_EQ(parts->port, 8443);
    EXPECT_EQ(parts->object_path, "/p%20a?x=1&y=2");

    const auto plain = CrackUrl("http://h");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->port, 0);
    EXPECT_EQ(EffectivePort(*plain), 80);
    EXPECT_EQ(plain->object_path, "");
    EXPECT_EQ(plain->user, "");

    const auto bare_colon = CrackUrl("https://h:/x");
    ASSERT_TRUE(bare_colon);
    EXPECT_EQ(EffectivePort(*bare_colon), 443);

    const auto literal = CrackUrl("http://[::1]/x");
    ASSERT_TRUE(literal);
    EXPECT_EQ(literal->host, "[::1]");
    EXPECT_EQ(literal->port, 0);
    EXPECT_EQ(CrackUrl("http://[::1]:8080/x")->port, 8080);

    const auto other = CrackUrl("ftp://h/file");
    ASSERT_TRUE(other);
    EXPECT_EQ(other->scheme, Scheme::kOther);
}

TEST(CrackUrl, RefusesMalformedUrlsAndPartsOverTheirLimits) {
    const std::string ok_host(255, 'h');
    const std::string ok_path = "/" + std::string(2046, 'p');
    const std::string ok_user(127, 'u');
    EXPECT_TRUE(CrackUrl("http://" + ok_host + "/"));
    EXPECT_TRUE(CrackUrl("http://h" + ok_path));
    EXPECT_TRUE(CrackUrl("http://" + ok_user + ":" + ok_user + "@h/"));

    const std::string refused[] = {
        "http://" + ok_host + "h/",
        "http://h" + ok_path + "p",
        "http://h/?" + std::string(2046, 'q'),  // the query counts as path
        "http://" + ok_user + "u@h/",
        "http://u:" + ok_user + "p@h/",
        "http://h:65536/",
        "http://h:80x/",
        "http:///path",
        "http://user@/",
        "not a url",
    };
    for (const std::string& url : refused) {
        SCOPED_TRACE(url.substr(0, 40));
        EXPECT_FALSE(CrackUrl(url));
    }
}

}  // namespace
}  // namespace corvane::net
