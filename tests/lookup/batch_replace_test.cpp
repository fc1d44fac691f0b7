#include "batch_replace.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>

namespace corvane {
namespace {

struct ReplaceCase {
    const char* name;
    std::string text;
    std::string find;
    std::string replacement;
    std::optional<std::int32_t> start;
    std::optional<std::int32_t> count;
    bool case_sensitive;
    std::string expected;
};

// "\xb0\x3c" is a GBK character whose second byte is '<'; "\xc1\x41" one whose
// second byte is 'A'.
const ReplaceCase kReplaceCases[] = {
    {"every_occurrence", "a<br>b<br>c", "<br>", "\r\n", {}, {}, false, "a\r\nb\r\nc"},
    {"mixed_case_folds", "a<Br>b<bR>c<BR>", "<br>", "\r\n", {}, {}, false, "a\r\nb\r\nc\r\n"},
    {"case_sensitive_keeps_other_cases", "a<Br>b<br>", "<br>", "-", {}, {}, true, "a<Br>b-"},
    {"uppercase_find_folds_too", "<br>", "<BR>", "x", {}, {}, false, "x"},
    {"self_closing_not_matched", "Line3<br/>", "<br>", "\r\n", {}, {}, false, "Line3<br/>"},
    {"adjacent_matches", "<br><br>", "<br>", "\r\n", {}, {}, false, "\r\n\r\n"},
    {"double_open_keeps_first", "<<br>", "<br>", "\r\n", {}, {}, false, "<\r\n"},
    {"non_overlapping", "aaaa", "aa", "b", {}, {}, false, "bb"},
    {"odd_non_overlapping", "aaa", "aa", "b", {}, {}, false, "ba"},
    {"replacement_not_rescanned", "ab", "a", "aa", {}, {}, false, "aab"},
    {"empty_replacement_deletes", "x<br>y", "<br>", "", {}, {}, false, "xy"},
    {"empty_text", "", "<br>", "x", {}, {}, false, ""},
    {"empty_find", "abc", "", "x", {}, {}, false, "abc"},
    {"find_longer_than_text", "<b", "<br>", "x", {}, {}, false, "<b"},
    {"count_zero", "<br><br>", "<br>", "x", {}, 0, false, "<br><br>"},
    {"count_one", "<br><br>", "<br>", "x", {}, 1, false, "x<br>"},
    {"count_negative_is_unlimited", "<br><br><br>", "<br>", "x", {}, -5, false, "xxx"},
    {"count_above_occurrences", "<br>", "<br>", "x", {}, 7, false, "x"},
    {"start_absent", "<br>a", "<br>", "x", {}, {}, false, "xa"},
    {"start_zero_is_one", "<br>a", "<br>", "x", 0, {}, false, "xa"},
    {"start_negative_is_one", "<br>a", "<br>", "x", -3, {}, false, "xa"},
    {"start_int_min", "<br>a", "<br>", "x", INT32_MIN, {}, false, "xa"},
    {"start_two_skips_first_match", "<br><br>", "<br>", "x", 2, {}, false, "<br>x"},
    {"start_at_last_byte", "ab", "b", "x", 2, {}, false, "ax"},
    {"start_past_end", "<br>", "<br>", "x", 5, {}, false, "<br>"},
    {"start_int_max", "<br>", "<br>", "x", INT32_MAX, {}, false, "<br>"},
    // High bytes are never folded: 0xC1 is not the same as 0xE1.
    {"high_bytes_not_folded", "\xc1\x41", "\xe1\x61", "x", {}, {}, false, "\xc1\x41"},
    // ...but the trailing byte of a double-byte character inside the compared
    // window does fold: the window is plain bytes.
    {"trail_byte_folds_in_window", "\xc1\x41", "\xc1\x61", "x", {}, {}, false, "x"},
    // A lead byte hides the '<' after it: the scan steps over both bytes.
    {"lead_byte_hides_find_start", "\xb0<br>", "<br>", "x", {}, {}, false, "\xb0<br>"},
    {"lead_byte_then_real_match", "\xb0<<br>", "<br>", "x", {}, {}, false, "\xb0<x"},
    {"gbk_text_around_matches", "\xd6\xd0<br>\xb9\xfa", "<br>", "\r\n", {}, {}, false,
     "\xd6\xd0\r\n\xb9\xfa"},
    // A lead byte as the very last byte: stepped over as one byte, never read past.
    {"last_byte_lead_one_byte_find", "a\xb0", "a", "x", {}, {}, false, "x\xb0"},
    {"last_byte_lead_no_match", "ab\xb0", "c", "x", {}, {}, false, "ab\xb0"},
    {"lone_lead_byte", "\xb0", "b", "x", {}, {}, false, "\xb0"},
};

// Named by its case, not dumped as bytes, in test listings.
void PrintTo(const ReplaceCase& c, std::ostream* os) { *os << c.name; }

class ReplaceOneTable : public testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceOneTable, GivesExpectedText) {
    const ReplaceCase& c = GetParam();
    // Copy into an exactly sized buffer so AddressSanitizer sees any overread.
    const std::string text = c.text;
    EXPECT_EQ(ReplaceOne(text, c.find, c.replacement, c.start, c.count, c.case_sensitive),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReplaceOneTable, testing::ValuesIn(kReplaceCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BatchReplace, AbsentPairsLeaveFirstPairResult) {
    EXPECT_EQ(BatchReplace("a<br>b<BR>c<br/>d", {}, {"<br>", "\r\n"}), "a\r\nb\r\nc<br/>d");
}

TEST(BatchReplace, LaterPairSeesEarlierOutput) {
    EXPECT_EQ(BatchReplace("ab", {}, {"a", "x"}, {"x", "y"}, {"y", "z"}), "zb");
    EXPECT_EQ(BatchReplace("1", {}, {"1", "2"}, {"2", "3"}, {"3", "4"}, {"4", "5"}, {"5", "6"}),
              "6");
}

TEST(BatchReplace, CountAppliesToEachPair) {
    ReplaceOptions once;
    once.count = 1;
    EXPECT_EQ(BatchReplace("aabb", once, {"a", "-"}, {"b", "+"}), "-a+b");
    ReplaceOptions none;
    none.count = 0;
    EXPECT_EQ(BatchReplace("aabb", none, {"a", "-"}, {"b", "+"}), "aabb");
    ReplaceOptions all;
    all.count = -5;
    EXPECT_EQ(BatchReplace("aabb", all, {"a", "-"}, {"b", "+"}), "--++");
}

TEST(BatchReplace, StartAndCaseFlagApplyToEachPair) {
    ReplaceOptions opts;
    opts.start = 3;
    opts.case_sensitive = true;
    EXPECT_EQ(BatchReplace("aAaA", opts, {"a", "x"}, {"A", "y"}), "aAxy");
    opts.start = 0;  // 0 means 1
    opts.case_sensitive = false;
    EXPECT_EQ(BatchReplace("aAaA", opts, {"a", "x"}), "xxxx");
}

TEST(BatchReplace, EmptySourceGivesEmptyResult) {
    EXPECT_EQ(BatchReplace("", {}, {"<br>", "\r\n"}, {"", "x"}), "");
}

TEST(BatchReplace, SourceIsNotModified) {
    const std::string source = "<br>";
    EXPECT_EQ(BatchReplace(source, {}, {"<br>", "\r\n"}), "\r\n");
    EXPECT_EQ(source, "<br>");
}

}  // namespace
}  // namespace corvane
