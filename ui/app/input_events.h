// Input events: for each mouse, key or character message addressed to the main
// window or one of its controls, an event is raised for the target before the
// target sees the message. A handler's result decides whether it still does.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>

namespace corvane::app {

enum class InputEvent {
    kLeftButtonPress, kLeftButtonRelease, kLeftDoubleClick,
    kRightButtonPress, kRightButtonRelease, kRightDoubleClick,
    kMiddleButtonPress, kMiddleButtonRelease, kMiddleDoubleClick,
    kMouseMove, kMouseWheel, kKeyDown, kKeyUp, kCharacter,
};

// Key-state bits of a mouse event.
inline constexpr UINT kKeyStateCtrl = 1u << 0;
inline constexpr UINT kKeyStateShift = 1u << 1;
inline constexpr UINT kKeyStateAlt = 1u << 2;

struct InputEventArgs {
    int x = 0;  // mouse events: position in the target's client coordinates
    int y = 0;
    UINT key_state = 0;  // kKeyState* bits, read when the message is handled
    WPARAM code = 0;     // key events: the virtual key; character events: the character
};

// No value, or a value: 0 cancels the message (it is never dispatched); any
// other value lets it go on, and for a character event becomes the character.
using HandlerResult = std::optional<std::int32_t>;
using InputHandler = std::function<HandlerResult(const InputEventArgs&)>;

struct InputBinding {
    HWND target;
    InputEvent event;
    InputHandler handler;
};

// The event a message raises, or none for a message that is not input.
std::optional<InputEvent> InputEventOf(UINT message);

// Raises the message's event for its target and runs the bound handler, if
// any, at once. True when the message is claimed: the handler returned 0, or
// the main window no longer exists afterwards. May rewrite a character.
bool RaiseInputEvent(MSG& msg, HWND main_window, std::span<const InputBinding> bindings);

}  // namespace corvane::app
