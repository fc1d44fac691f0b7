// `Button`: an ordinary (never default) push button with a centred caption
// that may wrap.
#pragma once
#include <windows.h>

#include "../window_description.h"

namespace corvane::ui {

class Button {
public:
    static HWND Create(const ControlSpec& spec, HWND parent, HINSTANCE instance);
};

}  // namespace corvane::ui
