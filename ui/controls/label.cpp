#include "label.h"

#include <string>

#include "../gdi.h"
#include "../window_text.h"
#include "child_window.h"

namespace corvane::ui {
namespace {

constexpr char kClassName[] = "CorvaneLabel";

void Paint(HWND window) {
    PaintScope paint(window);
    FillWithFaceColour(paint.Dc(), paint.Area());
    const std::string text = WindowTextOf(window);
    if (text.empty()) return;
    RECT client;
    GetClientRect(window, &client);
    SelectScope font(paint.Dc(), DefaultGuiFont());
    SetBkMode(paint.Dc(), TRANSPARENT);
    SetTextColor(paint.Dc(), kLabelTextColour);
    DrawTextA(paint.Dc(), text.c_str(), static_cast<int>(text.size()), &client, DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
}

LRESULT CALLBACK LabelProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint(window);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(DefaultGuiFont());
        case WM_SETTEXT: {
            const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
            InvalidateRect(window, nullptr, TRUE);
            return result;
        }
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

bool Label::RegisterClass(HINSTANCE instance) {
    return RegisterOwnClass(instance, kClassName, LabelProcedure, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
}

HWND Label::Create(const ControlSpec& spec, HWND parent, HINSTANCE instance) {
    return CreateChild(spec, kClassName, 0, 0, parent, instance);
}

}  // namespace corvane::ui
