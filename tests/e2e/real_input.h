// Keys and clicks as real input (SendInput): they go through the system's input
// queue to whichever window is active or under the pointer, as a user's would.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string_view>

namespace corvane::e2e {

// Presses the modifiers, presses and releases `key`, releases the modifiers.
void PressKey(WORD key, std::initializer_list<WORD> modifiers = {});
// Types ASCII text key by key (Shift where the keyboard layout needs it).
void TypeText(std::string_view text);

enum class Button { kLeft, kRight };
// Moves the pointer to a screen point and clicks there.
void ClickAt(POINT screen, Button button = Button::kLeft);
void DoubleClickAt(POINT screen);
// The centre of a window, in screen coordinates.
POINT CentreOf(HWND window);

}  // namespace corvane::e2e
