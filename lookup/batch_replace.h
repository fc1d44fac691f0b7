// Find-and-replace over byte strings in a double-byte ANSI code page (GBK):
// a byte of 0x80 or more starts a two-byte character, so a match may only
// begin on a character boundary. Letter case folds byte-wise for A-Z only,
// independent of any locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

struct ReplacePair {
    std::string_view find;         // an empty find text never matches
    std::string_view replacement;  // may be empty
};

struct ReplaceOptions {
    // Absent: every occurrence. Below 0: also every occurrence. 0: nothing.
    std::optional<std::int32_t> count;
    // 1-based byte position where scanning starts; 0 (or less) means 1.
    std::int32_t start = 0;
    bool case_sensitive = false;
};

// Replaces occurrences of `find` in `text`, scanning from the 1-based `start`
// (absent or below 1: the beginning). Bytes before the start stay as they are;
// matches never overlap and inserted text is never scanned again.
std::string ReplaceOne(std::string_view text, std::string_view find,
                       std::string_view replacement,
                       std::optional<std::int32_t> start,
                       std::optional<std::int32_t> count, bool case_sensitive);

// Applies up to five pairs one after the other, each to the previous result,
// all with the same options: a later pair sees what an earlier one inserted.
std::string BatchReplace(std::string_view source, const ReplaceOptions& options,
                         ReplacePair pair1, ReplacePair pair2 = {},
                         ReplacePair pair3 = {}, ReplacePair pair4 = {},
                         ReplacePair pair5 = {});

}  // namespace corvane
