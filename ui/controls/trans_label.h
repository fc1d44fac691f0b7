// `TransLabel`: blue, centred text with no background of its own (whatever
// lies beneath shows through) and the pointing hand over it; used as a link.
#pragma once
#include <windows.h>

#include "../gdi.h"
#include "../window_description.h"

namespace corvane::ui {

class TransLabel {
public:
    static bool RegisterClass(HINSTANCE instance);

    // Makes the label's font (the default GUI font when it cannot be made) and
    // its window. The object must outlive the window.
    HWND Create(const ControlSpec& spec, HWND parent, HINSTANCE instance);

    HFONT Font() const;
    HCURSOR Hand() const { return hand_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HWND window) const;
    void RedrawWithWhatIsBeneath(HWND window) const;

    OwnedFont font_;
    HCURSOR hand_ = nullptr;
};

}  // namespace corvane::ui
