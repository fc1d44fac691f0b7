// UTF-8 to GBK (code page 936), the encoding the desktop tool shows.
#pragma once

#include <string>
#include <string_view>

namespace corvane::server {

// Converts UTF-8 text to GBK. A Latin letter GBK cannot hold becomes its base
// letter ("São" gives "Sao"), any other character "?"; so does each invalid byte.
// Thread-safe: the conversion table is built once, on first use.
std::string Utf8ToGbk(std::string_view utf8);

}  // namespace corvane::server
