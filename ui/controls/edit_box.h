// `EditBox`: the system EDIT control, one line with a sunken edge that scrolls
// sideways, or several wrapping lines with a vertical scroll bar.
#pragma once
#include <windows.h>

#include "../window_description.h"

namespace corvane::ui {

class EditBox {
public:
    static HWND Create(const ControlSpec& spec, HWND parent, HINSTANCE instance);
    // Answer to WM_CTLCOLOREDIT: black text on white.
    static HBRUSH Colours(HDC dc);
};

}  // namespace corvane::ui
