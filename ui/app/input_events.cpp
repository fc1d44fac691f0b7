#include "input_events.h"

namespace corvane::app {

namespace {

UINT KeyStateNow() {
    UINT state = 0;
    if (GetKeyState(VK_CONTROL) & 0x8000) state |= kKeyStateCtrl;
    if (GetKeyState(VK_SHIFT) & 0x8000) state |= kKeyStateShift;
    if (GetKeyState(VK_MENU) & 0x8000) state |= kKeyStateAlt;
    return state;
}

InputEventArgs ArgsOf(const MSG& msg, InputEvent event) {
    InputEventArgs args;
    args.key_state = KeyStateNow();
    if (event == InputEvent::kKeyDown || event == InputEvent::kKeyUp ||
        event == InputEvent::kCharacter) {
        args.code = msg.wParam;
    } else {
        // Both taken unsigned, as the message carries them.
        args.x = LOWORD(msg.lParam);
        args.y = HIWORD(msg.lParam);
    }
    return args;
}

}  // namespace

std::optional<InputEvent> InputEventOf(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN: return InputEvent::kLeftButtonPress;
        case WM_LBUTTONUP: return InputEvent::kLeftButtonRelease;
        case WM_LBUTTONDBLCLK: return InputEvent::kLeftDoubleClick;
        case WM_RBUTTONDOWN: return InputEvent::kRightButtonPress;
        case WM_RBUTTONUP: return InputEvent::kRightButtonRelease;
        case WM_RBUTTONDBLCLK: return InputEvent::kRightDoubleClick;
        case WM_MBUTTONDOWN: return InputEvent::kMiddleButtonPress;
        case WM_MBUTTONUP: return InputEvent::kMiddleButtonRelease;
        case WM_MBUTTONDBLCLK: return InputEvent::kMiddleDoubleClick;
        case WM_MOUSEMOVE: return InputEvent::kMouseMove;
        case WM_MOUSEWHEEL: return InputEvent::kMouseWheel;
        case WM_KEYDOWN: case WM_SYSKEYDOWN: return InputEvent::kKeyDown;
        case WM_KEYUP: case WM_SYSKEYUP: return InputEvent::kKeyUp;
        case WM_CHAR: case WM_SYSCHAR: return InputEvent::kCharacter;
        default: return std::nullopt;
    }
}

bool RaiseInputEvent(MSG& msg, HWND main_window, std::span<const InputBinding> bindings) {
    const std::optional<InputEvent> event = InputEventOf(msg.message);
    if (!event) return false;
    for (const InputBinding& binding : bindings) {
        if (binding.target != msg.hwnd || binding.event != *event) continue;
        const HandlerResult result = binding.handler(ArgsOf(msg, *event));
        // The handler may have closed the window: nothing is left to receive it.
        if (!IsWindow(main_window)) return true;
        if (result && *result == 0) return true;
        if (result && *event == InputEvent::kCharacter) msg.wParam = static_cast<WPARAM>(*result);
        return false;
    }
    return false;  // no handler: the message goes on unchanged
}

}  // namespace corvane::app
