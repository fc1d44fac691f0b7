#include "keyboard.h"

#include "focus.h"

namespace corvane::app {

namespace {

bool IsDown(int virtual_key) { return (GetKeyState(virtual_key) & 0x8000) != 0; }

bool NoModifier(const KeyCode& code) { return !code.ctrl && !code.shift && !code.alt; }

bool IsEditClass(HWND window) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    return lstrcmpiA(name, "Edit") == 0;
}

}  // namespace

KeyCode ReadKeyCode(WPARAM virtual_key) {
    KeyCode code;
    code.key = static_cast<UINT>(virtual_key);
    if (code.key >= VK_NUMPAD0 && code.key <= VK_NUMPAD9) code.key = '0' + (code.key - VK_NUMPAD0);
    code.ctrl = IsDown(VK_CONTROL);
    code.shift = IsDown(VK_SHIFT);
    code.alt = IsDown(VK_MENU);
    return code;
}

bool ControlWantsKey(HWND focus, const KeyCode& code) {
    if (code.key != VK_RETURN || !focus || !IsEditClass(focus)) return false;
    const LONG_PTR style = GetWindowLongPtrA(focus, GWL_STYLE);
    return (style & ES_MULTILINE) && !(style & ES_READONLY);
}

KeyAction WindowKeyAction(const KeyCode& code) {
    const bool shift_only = code.shift && !code.ctrl && !code.alt;
    if (code.key == VK_TAB && NoModifier(code)) return KeyAction::kNextControl;
    if (code.key == VK_TAB && shift_only) return KeyAction::kPreviousControl;
    if (code.key == VK_ESCAPE && NoModifier(code)) return KeyAction::kCloseWindow;
    // Enter does nothing of the window's own: no default push button, and it
    // does not move the focus.
    return KeyAction::kPassOn;
}

bool HandleWindowKey(HWND main_window, const std::vector<HWND>& focus_order, const MSG& msg) {
    const KeyCode code = ReadKeyCode(msg.wParam);
    const HWND focus = GetFocus();
    if (ControlWantsKey(focus, code)) return false;

    const KeyAction action = WindowKeyAction(code);
    switch (action) {
        case KeyAction::kNextControl:
        case KeyAction::kPreviousControl: {
            const bool backward = action == KeyAction::kPreviousControl;
            if (const HWND next = StepFocus(focus_order, focus, backward)) SetFocus(next);
            return true;
        }
        case KeyAction::kCloseWindow:
            SendMessageA(main_window, WM_CLOSE, 0, 0);
            return true;
        case KeyAction::kPassOn:
            return false;
    }
    return false;
}

}  // namespace corvane::app
