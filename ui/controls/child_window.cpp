#include "child_window.h"

namespace corvane::ui {

bool RegisterOwnClass(HINSTANCE instance, const char* name, WNDPROC procedure, UINT classStyle) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = classStyle;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr;
    windowClass.lpszClassName = name;
    return RegisterClassExA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CreateChild(const ControlSpec& spec, const char* className, DWORD style, DWORD exStyle, HWND parent,
                 HINSTANCE instance, void* createParam) {
    style |= WS_CHILD | WS_CLIPSIBLINGS;
    if (spec.takesFocus) style |= WS_TABSTOP;
    // The child identifier is the whole 32-bit control identifier (GetDlgCtrlID gives it back).
    auto* childId = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(spec.id));
    return CreateWindowExA(exStyle, className, spec.text, style, spec.left, spec.top, spec.width, spec.height, parent,
                           childId, instance, createParam);
}

}  // namespace corvane::ui
