#include "key_link.h"

#include <windows.h>
#include <shellapi.h>

namespace corvane::app {

namespace {
// A running browser window of this title, if any, owns what the shell shows.
constexpr char kBrowserWindowTitle[] = "Microsoft Internet Explorer";
}  // namespace

void OpenWebPage(const char* url) {
    const HWND owner = FindWindowExA(nullptr, nullptr, nullptr, kBrowserWindowTitle);
    ShellExecuteA(owner, "open", url, nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace corvane::app
