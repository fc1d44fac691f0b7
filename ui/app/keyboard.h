// The main window's own keys, looked at before the focused control sees them:
// Tab and Shift+Tab move through the focus order, Esc closes the window.
#pragma once

#include <windows.h>

#include <vector>

namespace corvane::app {

struct KeyCode {
    UINT key = 0;  // virtual-key code; a numeric-keypad digit counts as that digit
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
};

// The key of a WM_KEYDOWN / WM_SYSKEYDOWN with the modifiers held right now.
KeyCode ReadKeyCode(WPARAM virtual_key);

// Only a multi-line edit box that is not read-only wants a key, and only Enter
// (for its line breaks); no control of the window wants Tab or Esc.
bool ControlWantsKey(HWND focus, const KeyCode& code);

enum class KeyAction { kPassOn, kNextControl, kPreviousControl, kCloseWindow };

// The action for a key that the focused control does not want.
KeyAction WindowKeyAction(const KeyCode& code);

// Runs the main window's keyboard handling for a key-down message addressed to
// it or one of its controls. True when the key is claimed (never dispatched).
bool HandleWindowKey(HWND main_window, const std::vector<HWND>& focus_order, const MSG& msg);

}  // namespace corvane::app
