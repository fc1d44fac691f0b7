// What the main window reports to the application that owns it. The window
// procedure calls these from its message handling; the application decides
// what each one does (the query, the focus rules, the end of the loop).
#pragma once

namespace corvane::ui {

class MainWindowEvents {
public:
    virtual ~MainWindowEvents() = default;

    // BN_CLICKED from 按钮1; runs to its end before the notification returns.
    virtual void OnButtonClicked() = 0;
    // The main window itself received the keyboard focus (WM_SETFOCUS).
    virtual void OnMainWindowFocused() = 0;
    // The main window is being deactivated (WM_ACTIVATE with WA_INACTIVE).
    virtual void OnMainWindowDeactivated() = 0;
    // The main window has been destroyed (WM_DESTROY).
    virtual void OnMainWindowDestroyed() = 0;
};

}  // namespace corvane::ui
