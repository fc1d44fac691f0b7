#include "batch_replace.h"

#include <cstddef>

namespace corvane {
namespace {

unsigned char FoldAsciiUpper(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte + 0x20) : byte;
}

bool MatchesAt(std::string_view text, std::size_t pos, std::string_view find,
               bool case_sensitive) {
    for (std::size_t i = 0; i < find.size(); ++i) {
        auto a = static_cast<unsigned char>(text[pos + i]);
        auto b = static_cast<unsigned char>(find[i]);
        if (!case_sensitive) {
            a = FoldAsciiUpper(a);
            b = FoldAsciiUpper(b);
        }
        if (a != b) return false;
    }
    return true;
}

// Length of the character at `pos`: two bytes for a lead byte, but never past
// the end, so a lead byte that is the very last byte counts as one.
std::size_t CharLengthAt(std::string_view text, std::size_t pos) {
    const bool lead = static_cast<unsigned char>(text[pos]) >= 0x80;
    return (lead && pos + 1 < text.size()) ? 2 : 1;
}

}  // namespace

std::string ReplaceOne(std::string_view text, std::string_view find,
                       std::string_view replacement,
                       std::optional<std::int32_t> start,
                       std::optional<std::int32_t> count, bool case_sensitive) {
    // 64-bit so that start - 1 cannot overflow for INT32_MIN.
    std::int64_t start_index = start ? std::int64_t{*start} - 1 : 0;
    if (start_index < 0) start_index = 0;
    const bool limited = count && *count >= 0;
    const std::int64_t limit = limited ? *count : 0;

    if (text.empty() || find.empty() ||
        start_index >= static_cast<std::int64_t>(text.size()) || (limited && limit == 0)) {
        return std::string(text);
    }

    std::string out;
    out.reserve(text.size());
    auto pos = static_cast<std::size_t>(start_index);
    std::size_t copied = 0;  // text[copied, pos) is still to be copied unchanged

    std::int64_t made = 0;
    while (text.size() - pos >= find.size()) {
        if (MatchesAt(text, pos, find, case_sensitive)) {
            out.append(text.substr(copied, pos - copied));
            out.append(replacement);
            pos += find.size();
            copied = pos;
            if (limited && ++made == limit) break;
        } else {
            pos += CharLengthAt(text, pos);
        }
    }
    out.append(text.substr(copied));
    return out;
}

std::string BatchReplace(std::string_view source, const ReplaceOptions& options,
                         ReplacePair pair1, ReplacePair pair2, ReplacePair pair3,
                         ReplacePair pair4, ReplacePair pair5) {
    const std::int32_t start = options.start == 0 ? 1 : options.start;
    const ReplacePair pairs[] = {pair1, pair2, pair3, pair4, pair5};

    std::string current(source);
    for (const ReplacePair& pair : pairs) {
        if (pair.find.empty()) continue;  // never matches: the text stays as it is
        current = ReplaceOne(current, pair.find, pair.replacement, start, options.count,
                             options.case_sensitive);
    }
    return current;
}

}  // namespace corvane
