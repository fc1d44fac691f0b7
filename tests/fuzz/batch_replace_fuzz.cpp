// libFuzzer target: the replacement over arbitrary bytes, with the options and
// the find text taken from the input, must never read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "batch_replace.h"
#include "lookup_query.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const auto start = static_cast<std::int8_t>(data[0]);
    const auto count = static_cast<std::int8_t>(data[1]);
    const bool case_sensitive = data[2] & 1;
    const std::size_t find_len = data[3] % 6;
    data += 4;
    size -= 4;
    if (size < find_len) return 0;

    const std::string find(reinterpret_cast<const char*>(data), find_len);
    // Exactly sized copy, so any read past the end is caught.
    const std::string text(reinterpret_cast<const char*>(data + find_len), size - find_len);

    corvane::ReplaceOptions options;
    options.start = start;
    if (count != -128) options.count = count;
    options.case_sensitive = case_sensitive;
    corvane::BatchReplace(text, options, {find, "\r\n"}, {"<br>", ""}, {"\x81", "x"});

    const corvane::ByteBuffer reply(text.begin(), text.end());
    corvane::BatchReplace(corvane::ReplyToText(reply), {}, {"<br>", "\r\n"});
    return 0;
}
