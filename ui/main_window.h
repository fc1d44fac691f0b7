// The main window: its nine controls, painting, and the reads and writes the
// application needs. The application drives it through this class and hears
// from it through MainWindowEvents.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "main_window_events.h"

namespace corvane::ui {

// Control identifiers, in creation order. The control names are used as the
// identifiers (GCC accepts UTF-8 identifiers).
enum class ControlId : UINT {
    标签1 = 0x16010002, 编辑框1 = 0x16010003, 标签2 = 0x16010004, 编辑框2 = 0x16010005,
    编辑框3 = 0x16010007, 按钮1 = 0x16010008, 标签3 = 0x16010013, 组合框1 = 0x16010016,
    透明标签1 = 0x16012325,
};
inline constexpr UINT kMainWindowId = 0x52010001;

class MainWindow {
public:
    // Builds the main window hidden, at its start position, with its nine controls
    // created in ascending identifier order and shown; nullptr when the window or a
    // control cannot be created. `events` must outlive the window.
    static std::unique_ptr<MainWindow> Build(HINSTANCE instance, MainWindowEvents& events);
    ~MainWindow();  // destroys the window if it still exists

    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND Handle() const;
    HWND Control(ControlId id) const;
    // The controls that take the focus, in focus order (编辑框1, 编辑框2, 编辑框3, 按钮1, 组合框1).
    std::vector<HWND> FocusOrder() const;

    std::string EditText(ControlId id) const;        // whole text, "" when empty
    int ComboSelection() const;                      // 0-based, -1 when none
    std::string ComboItemText(int index) const;      // "" outside 0..count-1
    void SetResultText(std::string_view text);       // replaces 编辑框3's whole content

private:
    struct State;
    explicit MainWindow(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace corvane::ui
