#include "button.h"

#include "../gdi.h"
#include "child_window.h"

namespace corvane::ui {

HWND Button::Create(const ControlSpec& spec, HWND parent, HINSTANCE instance) {
    HWND button = CreateChild(spec, "BUTTON", BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE, 0, parent, instance);
    if (button) SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(DefaultGuiFont()), FALSE);
    return button;
}

}  // namespace corvane::ui
