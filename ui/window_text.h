// A window's whole text as ANSI (code page 936) bytes; "" for no window.
#pragma once
#include <windows.h>

#include <string>

namespace corvane::ui {

inline std::string WindowTextOf(HWND window) {
    if (!window) return {};
    // The length may count more bytes than the text has (double-byte characters); the copy says how many.
    std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace corvane::ui
