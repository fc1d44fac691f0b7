#include "gbk.h"

#include <iconv.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace corvane::server {
namespace {

struct IconvCloser {
    void operator()(void* handle) const { iconv_close(static_cast<iconv_t>(handle)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

// Latin letters GBK lacks ("ã", "ł") as their base letter, so that place
// names stay readable: U+00C0 to U+017F.
constexpr std::string_view kLatinBase =
    "AAAAAAACEEEEIIIIDNOOOOOxOUUUUYTsaaaaaaaceeeeiiiidnooooo/ouuuuyty"
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIiJjJjKkkLlLlLlLlLlNnNnNnnNnOoOoOoOoRrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";
constexpr char32_t kLatinFirst = 0xc0;
static_assert(kLatinBase.size() == 0x180 - kLatinFirst);

constexpr std::size_t kBmpSize = 0x10000;
constexpr std::uint16_t kNone = 0;

// GBK bytes for every code point of the Basic Multilingual Plane (GBK has
// nothing beyond it), taken from iconv once: a reply is then converted by a
// table lookup per character instead of an iconv call per reply, which cost
// a tenth of the server's time. Two-byte codes are stored as is; a one-byte
// code (ASCII) as 0x00nn; kNone where GBK has no character.
class GbkTable {
public:
    GbkTable() : codes_(std::make_unique<std::array<std::uint16_t, kBmpSize>>()) {
        const iconv_t raw = iconv_open("GBK", "UTF-32LE");
        if (raw == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert to GBK");
        const IconvHandle converter(raw);
        for (char32_t code = 0; code < kBmpSize; ++code) {
            (*codes_)[code] = kNone;
            if (code >= 0xd800 && code < 0xe000) continue;  // surrogates are not characters
            char in_bytes[4] = {static_cast<char>(code & 0xff), static_cast<char>((code >> 8) & 0xff), 0, 0};
            char out_bytes[4];
            char* in = in_bytes;
            char* out = out_bytes;
            std::size_t in_left = sizeof in_bytes, out_left = sizeof out_bytes;
            iconv(raw, nullptr, nullptr, nullptr, nullptr);
            if (iconv(raw, &in, &in_left, &out, &out_left) == static_cast<std::size_t>(-1)) continue;
            const std::size_t size = sizeof out_bytes - out_left;
            const auto first = static_cast<unsigned char>(out_bytes[0]);
            if (size == 1) (*codes_)[code] = first;
            if (size == 2) (*codes_)[code] = static_cast<std::uint16_t>(first << 8 | static_cast<unsigned char>(out_bytes[1]));
        }
    }

    std::uint16_t operator[](char32_t code) const { return code < kBmpSize ? (*codes_)[code] : kNone; }

private:
    std::unique_ptr<std::array<std::uint16_t, kBmpSize>> codes_;
};

const GbkTable& Table() {
    static const GbkTable table;
    return table;
}

// Decodes the UTF-8 sequence at the front of `bytes` (at least one byte):
// its length, and its code point or std::nullopt when it is not valid UTF-8.
std::pair<std::size_t, std::optional<char32_t>> Decode(const unsigned char* bytes, std::size_t size) {
    const unsigned char lead = bytes[0];
    if (lead < 0x80) return {1, lead};
    std::size_t expected = 0;
    char32_t code = 0;
    char32_t smallest = 0;
    if (lead >= 0xc2 && lead < 0xe0) {
        expected = 2, code = lead & 0x1f, smallest = 0x80;
    } else if (lead >= 0xe0 && lead < 0xf0) {
        expected = 3, code = lead & 0x0f, smallest = 0x800;
    } else if (lead >= 0xf0 && lead < 0xf5) {
        expected = 4, code = lead & 0x07, smallest = 0x10000;
    } else {
        return {1, std::nullopt};
    }
    std::size_t length = 1;
    while (length < expected && length < size && (bytes[length] & 0xc0) == 0x80) {
        code = (code << 6) | (bytes[length] & 0x3f);
        ++length;
    }
    if (length != expected || code < smallest || code > 0x10ffff || (code >= 0xd800 && code < 0xe000)) {
        return {length, std::nullopt};
    }
    return {length, code};
}

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) {
    const GbkTable& table = Table();
    // GBK never takes more bytes than UTF-8 for the same text: one byte for
    // one, two for two or three, one stand-in for four.
    std::string out(utf8.size(), '\0');
    char* write = out.data();
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = bytes + utf8.size();
    while (bytes < end) {
        if (*bytes < 0x80) {
            *write++ = static_cast<char>(*bytes++);
            continue;
        }
        const auto [length, code] = Decode(bytes, static_cast<std::size_t>(end - bytes));
        bytes += length;
        const std::uint16_t gbk = code ? table[*code] : kNone;
        if (gbk > 0xff) {
            *write++ = static_cast<char>(gbk >> 8);
            *write++ = static_cast<char>(gbk & 0xff);
        } else if (gbk != kNone) {
            *write++ = static_cast<char>(gbk);
        } else if (code && *code >= kLatinFirst && *code < kLatinFirst + kLatinBase.size()) {
            *write++ = kLatinBase[*code - kLatinFirst];
        } else {
            *write++ = '?';
        }
    }
    out.resize(static_cast<std::size_t>(write - out.data()));
    return out;
}

}  // namespace corvane::server
