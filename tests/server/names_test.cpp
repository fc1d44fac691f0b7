// Chinese names from iso-codes, GBK conversion, and the ASN table's CSV reading.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "asn_table.h"
#include "gbk.h"
#include "region_names.h"
#include "server_process.h"

namespace corvane::server {
namespace {

TEST(RegionNamesTest, ChineseWhereTranslatedEnglishOtherwise) {
    std::string error;
    const auto names = RegionNames::Load({}, &error);
    ASSERT_TRUE(names) << error;
    EXPECT_EQ(names->Country("US"), "美国");
    EXPECT_EQ(names->Country("CN"), "中国");
    EXPECT_EQ(names->Country("ZZ"), "ZZ");  // unknown to iso-codes: the code itself

    const std::tuple<const char*, const char*, const char*> subdivisions[] = {
        {"CN", "Guangdong", "广东省"},     // the data leaves out "Sheng"
        {"CN", "Beijing", "北京市"},
        {"CN", "Xinjiang", "新疆维吾尔自治区"},
        {"US", "California", "加利福尼亚州"},
        {"CA", "Quebec", "魁北克省"},
        {"CN", "Inner Mongolia", "内蒙古自治区"},   // iso-codes has "Nei Mongol Zizhiqu"
        {"CN", "Tibet", "西藏自治区"},
        {"BR", "Sao Paulo", "Sao Paulo"},            // no translation to show
        {"GB", "England", "England"},                // matched, not translated
        {"US", "New", "New"},                        // several would match: none is guessed
        {"XX", "Somewhere", "Somewhere"},
    };
    for (const auto& [country, english, shown] : subdivisions) {
        EXPECT_EQ(names->Subdivision(country, english), shown) << english;
    }

    EXPECT_FALSE(RegionNames::Load({"/nonexistent", "/nonexistent"}, &error));
    EXPECT_NE(error.find("/nonexistent"), std::string::npos);
}

TEST(GbkTest, ConvertsAndReplacesWhatGbkCannotHold) {
    EXPECT_EQ(Utf8ToGbk("中国 (CN)"), "\xd6\xd0\xb9\xfa (CN)");
    EXPECT_EQ(Utf8ToGbk("ab\xff" "c"), "ab?c");         // not UTF-8
    EXPECT_EQ(Utf8ToGbk("x\xe4\xb8"), "x?");            // cut short
    EXPECT_EQ(Utf8ToGbk("\xf0\x9f\x98\x80!"), "?!");    // an emoji has no GBK form
    EXPECT_EQ(Utf8ToGbk("São Paulo, Łódź"), "Sao Paulo, L\xa8\xae" "dz");  // base letters where GBK has none
    EXPECT_EQ(Utf8ToGbk("Zürich"), "Z\xa8\xb9rich");           // GBK has "ü"
    EXPECT_EQ(Utf8ToGbk(""), "");
    const std::string long_text(10000, 'a');
    EXPECT_EQ(Utf8ToGbk(long_text), long_text);
}

TEST(AsnTableTest, ReadsQuotedNamesAndFindsRangesAtTheirEdges) {
    const std::string dir = testing::TemporaryDirectory();
    std::ofstream(dir + "/v4.csv") << "16777216,16777471,13335,\"Cloudflare, Inc.\"\n"
                                      "134744064,134744319,15169,Google LLC\r\n"
                                      "broken line\n"
                                      "100,50,1,backwards\n";
    std::ofstream(dir + "/v6.csv") << "2001:4860::,2001:4860:ffff:ffff:ffff:ffff:ffff:ffff,15169,\"Say \"\"hi\"\"\"\n";
    std::string error;
    const auto table = AsnTable::Load(dir + "/v4.csv", dir + "/v6.csv", &error);
    ASSERT_TRUE(table) << error;
    EXPECT_EQ(table->size(), 3u);

    const auto Find = [&](const char* text) { return table->Find(*ParseIpAddress(text)); };
    EXPECT_EQ(Find("1.0.0.0")->organisation, "Cloudflare, Inc.");
    EXPECT_EQ(Find("1.0.0.255")->number, 13335u);
    EXPECT_FALSE(Find("1.0.1.0"));
    EXPECT_FALSE(Find("0.255.255.255"));
    EXPECT_EQ(Find("8.8.8.8")->organisation, "Google LLC");
    EXPECT_EQ(Find("2001:4860:4860::8888")->organisation, "Say \"hi\"");
    EXPECT_FALSE(Find("2001:4861::"));

    EXPECT_FALSE(AsnTable::Load(dir + "/missing.csv", dir + "/v6.csv", &error));
}

}  // namespace
}  // namespace corvane::server
