#include "application.h"

#include <string>

#include "corvane_config.h"
#include "key_link.h"
#include "keyboard.h"
#include "lookup_query.h"

namespace corvane::app {

using ui::ControlId;

Application::Application(PageFetcher& fetcher) : fetcher_(fetcher) {}

Application::~Application() = default;

bool Application::Load(HINSTANCE instance) {
    window_ = ui::MainWindow::Build(instance, *this);
    if (!window_) return false;

    // The events that have handlers. Every other event of the window and its
    // controls is raised and finds none, which leaves its message unchanged.
    //   按钮1      click (BN_CLICKED)   -> OnButtonClicked: the lookup query;
    //                                     its result, if any, is ignored
    //   透明标签1  left-button press    -> OnKeyLinkPressed: opens the key page;
    //                                     returns no value, so the press goes on
    // A double-click on the label arrives as a press and then a double-click
    // event, so it opens the page once.
    input_bindings_ = {
        {window_->Control(ControlId::透明标签1), InputEvent::kLeftButtonPress,
         [this](const InputEventArgs& args) { return OnKeyLinkPressed(args); }},
    };

    // SW_SHOW, not the show state the process was started with: the window
    // appears complete and active, and the activation puts the focus on
    // 编辑框1 through OnMainWindowFocused.
    ShowWindow(window_->Handle(), SW_SHOW);
    return true;
}

int Application::Run() {
    loop_running_ = true;
    if (!IsWindow(window_->Handle())) return 0;

    MSG msg{};
    // GetMessageA gives -1 only for a bad window filter, which this loop has not.
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

// Of the target and its parents only the main window claims anything: first
// through its keyboard handling, then through the input events.
bool Application::PreTranslate(MSG& msg) {
    const HWND main_window = window_->Handle();
    if (!IsWindow(main_window)) return false;
    if (msg.hwnd != main_window && !IsChild(main_window, msg.hwnd)) return false;

    if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) &&
        HandleWindowKey(main_window, window_->FocusOrder(), msg)) {
        return true;
    }
    return RaiseInputEvent(msg, main_window, input_bindings_);
}

// Click handler: one lookup query from start to end, inside the button's
// notification; input that arrives meanwhile waits in the queue.
void Application::OnButtonClicked() {
    const int selection = window_->ComboSelection();
    const std::string port = window_->ComboItemText(selection);
    const std::string address = window_->EditText(ControlId::编辑框1);
    const std::string key = window_->EditText(ControlId::编辑框2);
    window_->SetResultText(LookupQuery(fetcher_, port, address, key));
}

// Key-link handler: where and how the label was pressed does not matter.
HandlerResult Application::OnKeyLinkPressed(const InputEventArgs&) {
    OpenWebPage(CORVANE_KEY_PAGE_URL);
    return std::nullopt;
}

// Focus events can only come once Build has returned the window (it is built
// hidden and never activated), but a window of the platform's making may differ.
void Application::OnMainWindowFocused() {
    if (window_) focus_memory_.Restore(window_->Handle(), window_->FocusOrder());
}

void Application::OnMainWindowDeactivated() {
    if (window_) focus_memory_.Remember(window_->Handle());
}

void Application::OnMainWindowDestroyed() {
    if (loop_running_) PostQuitMessage(0);
}

}  // namespace corvane::app
