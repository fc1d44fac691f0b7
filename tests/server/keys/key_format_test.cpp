#include <gtest/gtest.h>

#include <set>
#include <string>

#include "key_format.h"
#include "key_service.h"

namespace corvane::keys {
namespace {

constexpr std::string_view kTypable =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_-.~ ";

TEST(KeyFormat, GeneratedKeysAreWellFormedUrlSafeAndDistinct) {
    std::set<std::string> seen;
    for (int i = 0; i < 500; ++i) {
        const std::optional<std::string> key = GenerateKey();
        ASSERT_TRUE(key.has_value());
        EXPECT_TRUE(IsWellFormedKey(*key)) << i;
        EXPECT_EQ(key->size(), kKeyLength);
        EXPECT_TRUE(key->starts_with(kKeyPrefix));
        EXPECT_EQ(key->find_first_not_of(
                      "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_"),
                  std::string::npos);
        seen.insert(*key);
    }
    EXPECT_EQ(seen.size(), 500u);
}

// Whatever single character is mistyped, anywhere in the key, the checksum or
// the prefix refuses it.
TEST(KeyFormat, EverySingleMistypedCharacterIsRefused) {
    const std::string key = *GenerateKey();
    for (std::size_t position = 0; position < key.size(); ++position) {
        for (char typed : kTypable) {
            if (typed == key[position]) continue;
            std::string mistyped = key;
            mistyped[position] = typed;
            EXPECT_FALSE(IsWellFormedKey(mistyped)) << "position " << position << " typed '" << typed << "'";
        }
    }
}

TEST(KeyFormat, SwappedNeighboursAreRefused) {
    const std::string key = *GenerateKey();
    for (std::size_t position = 0; position + 1 < key.size(); ++position) {
        if (key[position] == key[position + 1]) continue;
        std::string swapped = key;
        std::swap(swapped[position], swapped[position + 1]);
        EXPECT_FALSE(IsWellFormedKey(swapped)) << "position " << position;
    }
}

TEST(KeyFormat, WrongShapesAreRefused) {
    const std::string body = "0123456789abcdefABCDEF";
    const std::string key = KeyFromBody(body);
    ASSERT_TRUE(IsWellFormedKey(key));
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"prefix only", std::string(kKeyPrefix)},
        {"upper-case prefix", "CVK_" + key.substr(kKeyPrefix.size())},
        // Right checksums over wrong text: prefix, length and alphabet are checked on their own.
        {"other prefix", WithChecksum("abc_" + body)},
        {"body too short", WithChecksum("cvk_" + body.substr(1))},
        {"body too long", WithChecksum("cvk_" + body + "0")},
        {"underscore in the body", WithChecksum("cvk_" + body.substr(1) + "_")},
        {"hyphen in the body", WithChecksum("cvk_" + body.substr(1) + "-")},
        {"no prefix", key.substr(kKeyPrefix.size())},
        {"last character cut", key.substr(0, key.size() - 1)},
        {"one character more", key + "0"},
        {"key twice", key + key},
        {"leading space", " " + key},
        {"trailing newline", key + "\n"},
        {"percent-encoded character", key.substr(0, 10) + "%41" + key.substr(13)},
        {"zero byte", key.substr(0, 10) + std::string(1, '\0') + key.substr(11)},
        {"non-ASCII byte", key.substr(0, 10) + "\xe4" + key.substr(11)},
        {"checksum above 32 bits", key.substr(0, key.size() - kKeyChecksumLength) + "zzzzzz"},
    };
    for (const auto& c : cases) EXPECT_FALSE(IsWellFormedKey(c.text)) << c.name;
}

}  // namespace
}  // namespace corvane::keys
