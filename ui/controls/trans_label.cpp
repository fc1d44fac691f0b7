#include "trans_label.h"

#include <string>

#include "../resources/resource_ids.h"
#include "../window_text.h"
#include "child_window.h"

namespace corvane::ui {
namespace {

constexpr char kClassName[] = "CorvaneTransLabel";

OwnedFont MakeFont(const FontSpec& spec) {
    return OwnedFont(CreateFontA(spec.height, spec.width, spec.escapement, spec.orientation, spec.weight, spec.italic,
                                 spec.underline, spec.strikeOut, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH, spec.face));
}

}  // namespace

bool TransLabel::RegisterClass(HINSTANCE instance) {
    return RegisterOwnClass(instance, kClassName, Procedure, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
}

HWND TransLabel::Create(const ControlSpec& spec, HWND parent, HINSTANCE instance) {
    font_ = MakeFont(kTransLabelFont);
    // The tool's own hand; the system's only if the resource is missing from the module.
    hand_ = LoadCursorA(instance, MAKEINTRESOURCEA(IDC_CORVANE_HAND));
    if (!hand_) hand_ = LoadCursorA(nullptr, IDC_HAND);
    return CreateChild(spec, kClassName, 0, WS_EX_TRANSPARENT, parent, instance, this);
}

HFONT TransLabel::Font() const { return font_ ? font_.get() : DefaultGuiFont(); }

void TransLabel::Paint(HWND window) const {
    PaintScope paint(window);
    const std::string text = WindowTextOf(window);
    if (text.empty()) return;
    RECT client;
    GetClientRect(window, &client);
    SelectScope font(paint.Dc(), Font());
    SetBkMode(paint.Dc(), TRANSPARENT);
    SetTextColor(paint.Dc(), kTransLabelTextColour);
    DrawTextA(paint.Dc(), text.c_str(), static_cast<int>(text.size()), &client,
              DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
}

// Nothing of the old text may remain: the parent repaints the part beneath
// the label, then the overlapping controls, then the label draws itself.
void TransLabel::RedrawWithWhatIsBeneath(HWND window) const {
    HWND parent = GetParent(window);
    RECT area;
    GetWindowRect(window, &area);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
    RedrawWindow(parent, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

LRESULT CALLBACK TransLabel::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    const auto* self = reinterpret_cast<const TransLabel*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);

    switch (message) {
        case WM_PAINT:
            self->Paint(window);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // no background of its own
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(self->Font());
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                SetCursor(self->hand_);
                return TRUE;
            }
            break;
        case WM_SETTEXT: {
            const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
            if (IsWindowVisible(window)) self->RedrawWithWhatIsBeneath(window);
            return result;
        }
        case WM_NCDESTROY:
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            break;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace corvane::ui
