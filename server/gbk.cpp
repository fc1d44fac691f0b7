#include "gbk.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <stdexcept>

namespace corvane::server {
namespace {

struct IconvCloser {
    void operator()(void* handle) const { iconv_close(static_cast<iconv_t>(handle)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

IconvHandle OpenConverter() {
    const iconv_t handle = iconv_open("GBK//TRANSLIT", "UTF-8");
    if (handle == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert UTF-8 to GBK");
    return IconvHandle(handle);
}

// Length of the UTF-8 sequence that starts with this byte (1 for a stray byte).
std::size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xf0 && lead < 0xf8) return 4;
    if (lead >= 0xe0) return 3;
    if (lead >= 0xc0) return 2;
    return 1;
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
        // Not convertible or not UTF-8: one "?" in place of the whole sequence.
        const std::size_t skip = std::min(in_left, SequenceLength(static_cast<unsigned char>(*in_ptr)));
        in_ptr += skip;
        in_left -= skip;
        out[used++] = '?';
        iconv(handle, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(used);
    return out;
}

}  // namespace corvane::server
