#include "focus.h"

#include <algorithm>

namespace corvane::app {

namespace {

bool CanTakeFocus(HWND control) {
    return IsWindow(control) && IsWindowVisible(control) && IsWindowEnabled(control);
}

std::vector<HWND> Focusable(const std::vector<HWND>& order) {
    std::vector<HWND> usable;
    std::copy_if(order.begin(), order.end(), std::back_inserter(usable), CanTakeFocus);
    return usable;
}

}  // namespace

HWND StepFocus(const std::vector<HWND>& order, HWND current, bool backward) {
    const std::vector<HWND> usable = Focusable(order);
    if (usable.empty()) return nullptr;
    const auto n = static_cast<std::ptrdiff_t>(usable.size());
    const auto it = std::find(usable.begin(), usable.end(), current);
    if (it == usable.end()) return backward ? usable.back() : usable.front();
    const std::ptrdiff_t i = it - usable.begin();
    return usable[static_cast<std::size_t>((i + (backward ? n - 1 : 1)) % n)];
}

HWND FirstFocusable(const std::vector<HWND>& order) {
    const std::vector<HWND> usable = Focusable(order);
    return usable.empty() ? nullptr : usable.front();
}

void FocusMemory::Remember(HWND main_window) {
    const HWND focus = GetFocus();
    if (focus && IsChild(main_window, focus)) remembered_ = focus;
}

void FocusMemory::Restore(HWND main_window, const std::vector<HWND>& order) {
    HWND target = remembered_;
    remembered_ = nullptr;
    if (!(target && IsWindow(target) && IsChild(main_window, target))) {
        target = FirstFocusable(order);
    }
    if (target) SetFocus(target);
}

}  // namespace corvane::app
