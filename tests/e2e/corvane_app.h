// The real corvane.exe as the tests see it from outside: its process, its
// window and controls, where the focus is and what the boxes hold.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "main_window.h"
#include "unique_handle.h"

namespace corvane::e2e {

// Paths the driver was given on its command line.
struct DriverOptions {
    std::string corvane_exe;  // Windows path of corvane.exe
    std::string url_log;      // Windows path of the file the browser stand-in appends to
};
DriverOptions& Options();

class CorvaneApp {
public:
    // Starts corvane.exe and waits until its main window is shown; the test
    // fails (and this returns null) when it does not appear.
    static std::unique_ptr<CorvaneApp> Start(const std::string& arguments = "");
    ~CorvaneApp();  // ends the process if it still runs

    HWND Window() const { return window_; }
    HWND Control(ui::ControlId id) const;
    // What the tool's GUI thread reports: focused, active and caret windows.
    HWND Focus() const;
    HWND Active() const;
    HWND CaretOwner() const;
    // The control's whole text as the tool holds it (ANSI).
    std::string Text(ui::ControlId id) const;
    // A point on the title bar and the close box of the window, in screen coordinates.
    POINT CaptionPoint() const;
    std::optional<POINT> CloseBoxPoint() const;

    // The process's working set now, in bytes.
    std::size_t WorkingSetBytes() const;

    bool IsRunning() const;
    // The exit code once the process has ended, or nothing on timeout.
    std::optional<DWORD> WaitForExit() const;

private:
    CorvaneApp(UniqueHandle process, DWORD process_id, DWORD thread_id);

    UniqueHandle process_;
    DWORD process_id_;
    DWORD thread_id_;
    HWND window_ = nullptr;
};

// Lines the browser stand-in has recorded so far (one URL a line).
int OpenedUrlCount();
std::string OpenedUrls();
void ForgetOpenedUrls();

}  // namespace corvane::e2e
