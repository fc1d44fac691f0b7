// Focus order (Tab, Shift+Tab) and the control remembered while the main
// window is inactive.
#pragma once

#include <windows.h>

#include <vector>

namespace corvane::app {

// The control after (or before) `current` among the controls of `order` that
// can take the focus now (window exists, visible, enabled), wrapping around.
// With `current` outside the order, forward starts at the first control and
// backward at the last. Null when no control qualifies.
HWND StepFocus(const std::vector<HWND>& order, HWND current, bool backward);

// The first control of `order` that can take the focus now, or null.
HWND FirstFocusable(const std::vector<HWND>& order);

class FocusMemory {
public:
    // The main window is being deactivated: keep the focused control if it is ours.
    void Remember(HWND main_window);
    // The main window itself got the focus: hand it to the remembered control,
    // else to the first of `order`; the memory is emptied either way.
    void Restore(HWND main_window, const std::vector<HWND>& order);

private:
    HWND remembered_ = nullptr;
};

}  // namespace corvane::app
