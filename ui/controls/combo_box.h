// `ComboBox`: a drop-down list that cannot be typed into, filled with the
// port items of the window description.
#pragma once
#include <windows.h>

#include "../window_description.h"

namespace corvane::ui {

class ComboBox {
public:
    // nullptr when the control or one of its items cannot be created.
    static HWND Create(const ControlSpec& spec, HWND parent, HINSTANCE instance);
    // Answer to WM_CTLCOLORLISTBOX (the field and the open list): black on white.
    static HBRUSH Colours(HDC dc);
};

}  // namespace corvane::ui
