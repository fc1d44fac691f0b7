// UTF-8 to GBK (code page 936), the encoding the desktop tool shows.
#pragma once

#include <string>
#include <string_view>

namespace corvane::server {

// Converts UTF-8 text to GBK. A character GBK cannot hold becomes its closest
// ASCII form where iconv knows one, otherwise "?"; invalid UTF-8 bytes become "?".
// Thread-safe: each thread keeps its own converter.
std::string Utf8ToGbk(std::string_view utf8);

}  // namespace corvane::server
