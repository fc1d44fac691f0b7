#include "main_window.h"

#include <algorithm>
#include <array>
#include <string>

#include "controls/button.h"
#include "controls/child_window.h"
#include "controls/combo_box.h"
#include "controls/edit_box.h"
#include "controls/label.h"
#include "controls/trans_label.h"
#include "gdi.h"
#include "resources/resource_ids.h"
#include "window_description.h"
#include "window_text.h"

namespace corvane::ui {
namespace {

constexpr char kMainWindowClass[] = "CorvaneMainWindow";

constexpr size_t IndexOf(ControlId id) {
    for (size_t i = 0; i < kControlSpecs.size(); ++i) {
        if (kControlSpecs[i].id == id) return i;
    }
    return kControlSpecs.size();
}

static_assert(std::is_sorted(kControlSpecs.begin(), kControlSpecs.end(),
                             [](const ControlSpec& a, const ControlSpec& b) { return a.id < b.id; }),
              "controls are created in ascending identifier order");

void SetIcons(HWND window, HINSTANCE instance) {
    for (auto [which, widthMetric, heightMetric] : {std::array{ICON_BIG, SM_CXICON, SM_CYICON},
                                                     std::array{ICON_SMALL, SM_CXSMICON, SM_CYSMICON}}) {
        // Shared icons belong to the module: nothing to destroy.
        HANDLE icon = LoadImageA(instance, MAKEINTRESOURCEA(IDI_CORVANE), IMAGE_ICON, GetSystemMetrics(widthMetric),
                                 GetSystemMetrics(heightMetric), LR_SHARED);
        if (icon) SendMessageA(window, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }
}

}  // namespace

struct MainWindow::State {
    explicit State(MainWindowEvents& e) : events(e) {}

    static bool RegisterClasses(HINSTANCE instance) {
        return RegisterOwnClass(instance, kMainWindowClass, Procedure, kMainWindowSpec.classStyle) &&
               Label::RegisterClass(instance) && TransLabel::RegisterClass(instance);
    }
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    HWND ControlHandle(ControlId id) const {
        const size_t index = IndexOf(id);
        return index < controls.size() ? controls[index] : nullptr;
    }

    MainWindowEvents& events;
    bool reportEvents = false;  // off until the window is complete
    HWND window = nullptr;
    std::array<HWND, kControlSpecs.size()> controls{};
    TransLabel link;
};

LRESULT CALLBACK MainWindow::State::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* state = static_cast<State*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        state->window = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    }
    auto* state = reinterpret_cast<State*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!state) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        state->window = nullptr;
        state->controls.fill(nullptr);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return state->Handle(message, wParam, lParam);
}

LRESULT MainWindow::State::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PaintScope paint(window);
            FillWithFaceColour(paint.Dc(), paint.Area());
            return 0;
        }
        case WM_CTLCOLOREDIT:
            return reinterpret_cast<LRESULT>(EditBox::Colours(reinterpret_cast<HDC>(wParam)));
        case WM_CTLCOLORLISTBOX:
            return reinterpret_cast<LRESULT>(ComboBox::Colours(reinterpret_cast<HDC>(wParam)));
        case WM_COMMAND:
            // The 16-bit identifier in wParam cannot hold a control identifier: match the window.
            if (HIWORD(wParam) == BN_CLICKED && reinterpret_cast<HWND>(lParam) == ControlHandle(ControlId::按钮1)) {
                if (reportEvents) events.OnButtonClicked();
                return 0;
            }
            break;
        case WM_SETFOCUS:
            if (reportEvents) events.OnMainWindowFocused();
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE && reportEvents) events.OnMainWindowDeactivated();
            break;  // the default processing gives the focus to the window on activation
        case WM_DESTROY:
            if (reportEvents) events.OnMainWindowDestroyed();
            return 0;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

MainWindow::MainWindow(std::unique_ptr<State> state) : state_(std::move(state)) {}

MainWindow::~MainWindow() {
    if (state_->window) DestroyWindow(state_->window);
}

std::unique_ptr<MainWindow> MainWindow::Build(HINSTANCE instance, MainWindowEvents& events) {
    if (!State::RegisterClasses(instance)) return nullptr;

    auto state = std::make_unique<State>(events);
    State* raw = state.get();
    const WindowSpec& spec = kMainWindowSpec;
    // Centred on the primary screen; the divisions truncate toward zero, so a
    // screen smaller than the window gives a negative position.
    const int left = (GetSystemMetrics(SM_CXSCREEN) - spec.width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - spec.height) / 2;
    HWND window = CreateWindowExA(0, kMainWindowClass, spec.caption, spec.style, left, top, spec.width, spec.height,
                                  nullptr, nullptr, instance, raw);
    if (!window) return nullptr;
    // From here the window is owned: an early return destroys it.
    std::unique_ptr<MainWindow> owner(new MainWindow(std::move(state)));

    RECT outer;
    GetWindowRect(window, &outer);
    if (outer.right - outer.left != spec.width || outer.bottom - outer.top != spec.height) {
        SetWindowPos(window, nullptr, outer.left, outer.top, spec.width, spec.height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SetIcons(window, instance);

    for (size_t i = 0; i < kControlSpecs.size(); ++i) {
        const ControlSpec& control = kControlSpecs[i];
        HWND created = nullptr;
        switch (control.kind) {
            case ControlKind::Label: created = Label::Create(control, window, instance); break;
            case ControlKind::EditBox: created = EditBox::Create(control, window, instance); break;
            case ControlKind::Button: created = Button::Create(control, window, instance); break;
            case ControlKind::ComboBox: created = ComboBox::Create(control, window, instance); break;
            case ControlKind::TransLabel: created = raw->link.Create(control, window, instance); break;
        }
        if (!created) return nullptr;
        raw->controls[i] = created;
    }

    HWND above = HWND_TOP;
    for (ControlId id : kStackingOrder) {
        HWND control = raw->ControlHandle(id);
        SetWindowPos(control, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        above = control;
    }
    for (HWND control : raw->controls) ShowWindow(control, SW_SHOWNA);

    raw->reportEvents = true;
    return owner;
}

HWND MainWindow::Handle() const { return state_->window; }

HWND MainWindow::Control(ControlId id) const { return state_->ControlHandle(id); }

std::vector<HWND> MainWindow::FocusOrder() const {
    std::vector<const ControlSpec*> takers;
    for (const ControlSpec& spec : kControlSpecs) {
        if (spec.takesFocus) takers.push_back(&spec);
    }
    std::stable_sort(takers.begin(), takers.end(),
                     [](const ControlSpec* a, const ControlSpec* b) { return a->focusOrder < b->focusOrder; });
    std::vector<HWND> order;
    for (const ControlSpec* spec : takers) order.push_back(Control(spec->id));
    return order;
}

std::string MainWindow::EditText(ControlId id) const { return WindowTextOf(Control(id)); }

int MainWindow::ComboSelection() const {
    HWND combo = Control(ControlId::组合框1);
    if (!combo) return -1;
    const LRESULT selection = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    return selection == CB_ERR ? -1 : static_cast<int>(selection);
}

std::string MainWindow::ComboItemText(int index) const {
    HWND combo = Control(ControlId::组合框1);
    if (!combo || index < 0) return {};
    const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied = SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == CB_ERR ? 0 : static_cast<size_t>(copied));
    return text;
}

void MainWindow::SetResultText(std::string_view text) {
    HWND result = Control(ControlId::编辑框3);
    if (!result) return;
    // The window text ends at a zero byte; the string gives it one.
    const std::string whole(text);
    SetWindowTextA(result, whole.c_str());
}

}  // namespace corvane::ui
