// `Label`: one line of black text on the face colour, which it paints itself.
#pragma once
#include <windows.h>

#include "../window_description.h"

namespace corvane::ui {

class Label {
public:
    static bool RegisterClass(HINSTANCE instance);
    static HWND Create(const ControlSpec& spec, HWND parent, HINSTANCE instance);
};

}  // namespace corvane::ui
