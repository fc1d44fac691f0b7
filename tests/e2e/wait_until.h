// Waiting for a condition instead of sleeping a fixed time.
#pragma once

#include <windows.h>

#include <chrono>

namespace corvane::e2e {

inline constexpr std::chrono::milliseconds kPatience{15000};

// Polls `condition` until it holds or `timeout` passes; true when it held.
// The driver's own windows keep being served meanwhile.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout = kPatience) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

}  // namespace corvane::e2e
