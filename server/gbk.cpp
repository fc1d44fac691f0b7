#include "gbk.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <string_view>
#include <utility>
#include <stdexcept>

namespace corvane::server {
namespace {

struct IconvCloser {
    void operator()(void* handle) const { iconv_close(static_cast<iconv_t>(handle)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

IconvHandle OpenConverter() {
    const iconv_t handle = iconv_open("GBK", "UTF-8");
    if (handle == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert UTF-8 to GBK");
    return IconvHandle(handle);
}

// Latin letters GBK lacks ("ã", "ł") as their base letter, so that place
// names stay readable: U+00C0 to U+017F.
constexpr std::string_view kLatinBase =
    "AAAAAAACEEEEIIIIDNOOOOOxOUUUUYTsaaaaaaaceeeeiiiidnooooo/ouuuuyty"
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIiJjJjKkkLlLlLlLlLlNnNnNnnNnOoOoOoOoRrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";
constexpr char32_t kLatinFirst = 0xc0;
static_assert(kLatinBase.size() == 0x180 - kLatinFirst);

// The UTF-8 sequence at the front of `bytes` (at least one byte): its length,
// and what stands in for it when GBK cannot hold it.
std::pair<std::size_t, char> Replacement(const unsigned char* bytes, std::size_t size) {
    const unsigned char lead = bytes[0];
    std::size_t expected = 1;
    char32_t code = 0;
    if (lead >= 0xc2 && lead < 0xe0) {
        expected = 2;
        code = lead & 0x1f;
    } else if (lead >= 0xe0 && lead < 0xf0) {
        expected = 3;
        code = lead & 0x0f;
    } else if (lead >= 0xf0 && lead < 0xf5) {
        expected = 4;
        code = lead & 0x07;
    }
    std::size_t length = 1;
    while (length < expected && length < size && (bytes[length] & 0xc0) == 0x80) {
        code = (code << 6) | (bytes[length] & 0x3f);
        ++length;
    }
    if (length == expected && expected > 1 && code >= kLatinFirst && code < kLatinFirst + kLatinBase.size()) {
        return {length, kLatinBase[code - kLatinFirst]};
    }
    return {length, '?'};
}

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) {
    thread_local const IconvHandle converter = OpenConverter();
    const auto handle = static_cast<iconv_t>(converter.get());
    iconv(handle, nullptr, nullptr, nullptr, nullptr);

    std::string out(utf8.size() + 16, '\0');
    char* in_ptr = const_cast<char*>(utf8.data());
    std::size_t in_left = utf8.size();
    std::size_t used = 0;
    while (in_left > 0) {
        char* out_ptr = out.data() + used;
        std::size_t out_left = out.size() - used;
        const std::size_t result = iconv(handle, &in_ptr, &in_left, &out_ptr, &out_left);
        used = out.size() - out_left;
        if (result != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG || out_left == 0) {
            out.resize(out.size() * 2);
            continue;
        }
        // Not convertible or not UTF-8: one character in place of the sequence.
        const auto [skip, stand_in] = Replacement(reinterpret_cast<const unsigned char*>(in_ptr), in_left);
        in_ptr += skip;
        in_left -= skip;
        out[used++] = stand_in;
        iconv(handle, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(used);
    return out;
}

}  // namespace corvane::server
