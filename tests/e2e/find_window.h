// Finding another process's visible top-level window, as an outside observer.
#pragma once

#include <windows.h>

#include <functional>

namespace corvane::e2e {

// The first visible top-level window of the process for which `matches` holds,
// or null.
inline HWND FindProcessWindow(DWORD process_id, const std::function<bool(HWND)>& matches) {
    struct Search {
        DWORD process_id;
        const std::function<bool(HWND)>& matches;
        HWND found = nullptr;
    } search{process_id, matches};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != s->process_id || !IsWindowVisible(window) || !s->matches(window)) return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace corvane::e2e
