#include "combo_box.h"

#include "../gdi.h"
#include "child_window.h"

namespace corvane::ui {

HWND ComboBox::Create(const ControlSpec& spec, HWND parent, HINSTANCE instance) {
    HWND combo = CreateChild(spec, "COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, 0, parent, instance);
    if (!combo) return nullptr;

    SendMessageA(combo, WM_SETFONT, reinterpret_cast<WPARAM>(DefaultGuiFont()), FALSE);
    // Item 0's height stands for every list item (the field is -1).
    const LRESULT itemHeight = SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0);
    if (itemHeight != CB_ERR) SendMessageA(combo, CB_SETITEMHEIGHT, 0, itemHeight + kPortItemExtraHeight);

    for (const char* item : kPortItems) {
        const LRESULT index = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        if (index == CB_ERR || index == CB_ERRSPACE) {
            DestroyWindow(combo);
            return nullptr;
        }
    }
    SendMessageA(combo, CB_SETCURSEL, kInitialPortIndex, 0);
    return combo;
}

HBRUSH ComboBox::Colours(HDC dc) {
    SetTextColor(dc, kEntryTextColour);
    SetBkColor(dc, kEntryBackgroundColour);
    return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
}

}  // namespace corvane::ui
