#include "edit_box.h"

#include <cstring>

#include "../gdi.h"
#include "child_window.h"

namespace corvane::ui {
namespace {

// The lowest a one-line box may be: the probe character's height in the box's
// font plus the sunken edge above and below.
int MinimumOneLineHeight(HWND edit) {
    WindowDc dc(edit);
    SelectScope font(dc.Get(), DefaultGuiFont());
    SIZE extent{};
    GetTextExtentPoint32A(dc.Get(), kEditHeightProbe, static_cast<int>(std::strlen(kEditHeightProbe)), &extent);
    return extent.cy + 2 * GetSystemMetrics(SM_CYEDGE);
}

}  // namespace

HWND EditBox::Create(const ControlSpec& spec, HWND parent, HINSTANCE instance) {
    const bool oneLine = spec.lines == EditLines::One;
    const DWORD style = oneLine ? ES_LEFT | ES_AUTOHSCROLL : ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL;
    const DWORD exStyle = oneLine ? WS_EX_CLIENTEDGE : 0;
    HWND edit = CreateChild(spec, "EDIT", style, exStyle, parent, instance);
    if (!edit) return nullptr;

    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(DefaultGuiFont()), FALSE);
    // 0 lifts the small default limit to the platform's largest.
    SendMessageA(edit, EM_LIMITTEXT, 0, 0);
    SendMessageA(edit, EM_SETSEL, 0, 0);
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);

    if (oneLine) {
        const int minimum = MinimumOneLineHeight(edit);
        if (spec.height < minimum) {
            SetWindowPos(edit, nullptr, 0, 0, spec.width, minimum, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    return edit;
}

HBRUSH EditBox::Colours(HDC dc) {
    SetTextColor(dc, kEntryTextColour);
    SetBkColor(dc, kEntryBackgroundColour);
    return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
}

}  // namespace corvane::ui
