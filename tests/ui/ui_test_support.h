// Shared by the window tests: a main window built in this process with events
// that are only counted, a message pump that waits for a condition, and
// screen capture of a part of the window.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include "main_window.h"

namespace corvane::ui::test {

// The executable whose resources are checked (--resource-exe=); empty: this program.
extern std::string g_resourceExecutable;

struct WindowDeleter {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using OwnedWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

struct CountingEvents : MainWindowEvents {
    void OnButtonClicked() override { ++clicks; }
    void OnMainWindowFocused() override { ++focused; }
    void OnMainWindowDeactivated() override { ++deactivated; }
    void OnMainWindowDestroyed() override { ++destroyed; }
    int clicks = 0, focused = 0, deactivated = 0, destroyed = 0;
};

// Where Wine differs from Windows a test accepts Wine's result, and only under Wine.
inline bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Dispatches this thread's messages until `done` holds or the time is up; true when it held.
// (<chrono> cannot be used here: its "µs" has no GBK form for -fexec-charset=GBK.)
inline bool PumpUntil(const std::function<bool()>& done, ULONGLONG limitMs = 10000) {
    const ULONGLONG end = GetTickCount64() + limitMs;
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Dispatches what is queued now.
inline void PumpPending() {
    PumpUntil([] { return true; }, 0);
}

// A control's rectangle in its parent's client coordinates.
inline RECT RectInParent(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

inline std::string WindowText(HWND window) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The pixels of `area` (client coordinates of `window`) as they are on the screen, row by row.
struct Capture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};
Capture CaptureClientArea(HWND window, const RECT& area);

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override {
        window_ = MainWindow::Build(GetModuleHandleA(nullptr), events_);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        window_.reset();
        PumpPending();
    }

    // Shows the window as the application does, active and painted.
    void ShowActive() {
        ShowWindow(Main(), SW_SHOW);
        SetForegroundWindow(Main());
        UpdateWindow(Main());
        ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == Main() && IsWindowVisible(Main()); }));
        RedrawWindow(Main(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        GdiFlush();
        PumpPending();
    }

    HWND Main() const { return window_->Handle(); }
    HWND Control(ControlId id) const { return window_->Control(id); }

    CountingEvents events_;
    std::unique_ptr<MainWindow> window_;
};

}  // namespace corvane::ui::test
