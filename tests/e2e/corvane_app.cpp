#include "corvane_app.h"

#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

#include "find_window.h"
#include "wait_until.h"

namespace corvane::e2e {

namespace {

constexpr char kWindowCaption[] = "Corvane  ";

bool HasMainCaption(HWND window) {
    char caption[32] = {};
    GetWindowTextA(window, caption, sizeof caption);
    return std::string(caption) == kWindowCaption;
}

GUITHREADINFO ThreadInfo(DWORD thread_id) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(thread_id, &info);
    return info;
}

}  // namespace

DriverOptions& Options() {
    static DriverOptions options;
    return options;
}

std::unique_ptr<CorvaneApp> CorvaneApp::Start(const std::string& arguments) {
    std::string command = "\"" + Options().corvane_exe + "\"";
    if (!arguments.empty()) command += " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        ADD_FAILURE() << "cannot start " << command << ": error " << GetLastError();
        return nullptr;
    }
    UniqueHandle thread(info.hThread);
    std::unique_ptr<CorvaneApp> app(
        new CorvaneApp(UniqueHandle(info.hProcess), info.dwProcessId, info.dwThreadId));

    HWND found = nullptr;
    const bool shown = WaitUntil([&] {
        found = FindProcessWindow(info.dwProcessId, HasMainCaption);
        return found != nullptr || !app->IsRunning();
    });
    if (!shown || !found) {
        ADD_FAILURE() << "corvane.exe showed no main window";
        return nullptr;
    }
    app->window_ = found;
    return app;
}

CorvaneApp::CorvaneApp(UniqueHandle process, DWORD process_id, DWORD thread_id)
    : process_(std::move(process)), process_id_(process_id), thread_id_(thread_id) {}

CorvaneApp::~CorvaneApp() {
    if (IsRunning()) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 10000);
    }
}

HWND CorvaneApp::Control(ui::ControlId id) const {
    return GetDlgItem(window_, static_cast<int>(id));
}

HWND CorvaneApp::Focus() const { return ThreadInfo(thread_id_).hwndFocus; }
HWND CorvaneApp::Active() const { return ThreadInfo(thread_id_).hwndActive; }
HWND CorvaneApp::CaretOwner() const { return ThreadInfo(thread_id_).hwndCaret; }

std::string CorvaneApp::Text(ui::ControlId id) const {
    const HWND control = Control(id);
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 10000, &length)) {
        ADD_FAILURE() << "the tool did not answer WM_GETTEXTLENGTH";
        return {};
    }
    std::vector<char> buffer(length + 1);
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(control, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                        SMTO_ABORTIFHUNG, 10000, &copied);
    return std::string(buffer.data(), std::min<std::size_t>(copied, length));
}

POINT CorvaneApp::CaptionPoint() const {
    RECT rect{};
    GetWindowRect(window_, &rect);
    const int caption_middle = GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    return {(rect.left + rect.right) / 2, rect.top + caption_middle};
}

std::optional<POINT> CorvaneApp::CloseBoxPoint() const {
    // Ask the window itself where its close box is: the middle of the run of
    // HTCLOSE points nearest the right edge of the title bar.
    const POINT caption = CaptionPoint();
    RECT rect{};
    GetWindowRect(window_, &rect);
    auto hit_at = [&](int x) {
        DWORD_PTR hit = 0;
        SendMessageTimeoutA(window_, WM_NCHITTEST, 0, MAKELPARAM(x, caption.y), SMTO_ABORTIFHUNG,
                            10000, &hit);
        return hit;
    };
    int right = rect.right - 1;
    while (right > caption.x && hit_at(right) != HTCLOSE) --right;
    if (right <= caption.x) return std::nullopt;
    int left = right;
    while (left > caption.x && hit_at(left - 1) == HTCLOSE) --left;
    return POINT{(left + right) / 2, caption.y};
}

std::size_t CorvaneApp::WorkingSetBytes() const {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process_.get(), &counters, sizeof counters)) return 0;
    return counters.WorkingSetSize;
}

bool CorvaneApp::IsRunning() const {
    return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> CorvaneApp::WaitForExit() const {
    if (WaitForSingleObject(process_.get(), static_cast<DWORD>(kPatience.count())) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

std::string OpenedUrls() {
    std::ifstream log(Options().url_log, std::ios::binary);
    std::ostringstream text;
    text << log.rdbuf();
    return text.str();
}

int OpenedUrlCount() {
    const std::string urls = OpenedUrls();
    return static_cast<int>(std::count(urls.begin(), urls.end(), '\n'));
}

void ForgetOpenedUrls() { DeleteFileA(Options().url_log.c_str()); }

}  // namespace corvane::e2e
