// One real query through corvane.exe's window, for ./run on a machine without
// a display: starts the tool, types the address and the key, clicks 查询, waits
// for the answer and prints it, lets the caller take a screenshot, then closes
// the window with Esc.
//
//   query_demo --corvane=<unix path of corvane.exe> --address=A --key=K
//
// Run through scripts/wine-desktop-run: CORVANE_SCREENSHOT_READY and
// CORVANE_SCREENSHOT_TAKEN (Windows paths) hand over for the screenshot, and the
// exit code goes to CORVANE_EXIT_CODE_FILE.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "corvane_app.h"
#include "real_input.h"
#include "wait_until.h"

namespace {

using corvane::e2e::CorvaneApp;
using corvane::ui::ControlId;

constexpr std::chrono::seconds kAnswerPatience{60};

std::string Option(int argc, char** argv, const std::string& name) {
    const std::string prefix = "--" + name + "=";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind(prefix, 0) == 0) return arg.substr(prefix.size());
    }
    return {};
}

std::string Environment(const char* name) {
    char value[MAX_PATH * 2] = {};
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

// The tool's texts are in the ANSI code page (936); the terminal reads UTF-8.
std::string AnsiToUtf8(const std::string& ansi) {
    const int wide_length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), wide_length);
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

int Demo(int argc, char** argv) {
    std::string exe = "Z:" + Option(argc, argv, "corvane");
    for (char& c : exe) {
        if (c == '/') c = '\\';
    }
    corvane::e2e::Options().corvane_exe = exe;

    std::unique_ptr<CorvaneApp> app = CorvaneApp::Start();
    if (!app) return 1;
    if (!corvane::e2e::WaitUntil([&] { return app->Focus() == app->Control(ControlId::编辑框1); })) {
        std::fprintf(stderr, "query_demo: the address box never got the focus\n");
        return 1;
    }
    corvane::e2e::TypeText(Option(argc, argv, "address"));
    corvane::e2e::PressKey(VK_TAB);
    corvane::e2e::TypeText(Option(argc, argv, "key"));
    const std::string key = Option(argc, argv, "key");
    corvane::e2e::WaitUntil([&] { return app->Text(ControlId::编辑框2) == key; });
    corvane::e2e::ClickAt(corvane::e2e::CentreOf(app->Control(ControlId::按钮1)));

    const bool answered = corvane::e2e::WaitUntil(
        [&] { return !app->Text(ControlId::编辑框3).empty(); },
        std::chrono::duration_cast<std::chrono::milliseconds>(kAnswerPatience));
    std::string shown = AnsiToUtf8(app->Text(ControlId::编辑框3));
    std::printf("query_demo: the result box shows:\n%s\n", answered ? shown.c_str() : "(nothing)");
    std::printf("query_demo: corvane.exe working set after the query: %zu KiB\n",
                app->WorkingSetBytes() / 1024);
    std::fflush(stdout);

    if (const std::string ready = Environment("CORVANE_SCREENSHOT_READY"); !ready.empty()) {
        std::ofstream(ready).put('\n');
        const std::string taken = Environment("CORVANE_SCREENSHOT_TAKEN");
        corvane::e2e::WaitUntil([&] { return GetFileAttributesA(taken.c_str()) != INVALID_FILE_ATTRIBUTES; },
                                std::chrono::minutes(2));
    }
    corvane::e2e::PressKey(VK_ESCAPE);
    const std::optional<DWORD> code = app->WaitForExit();
    return answered && code == 0u ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const int result = Demo(argc, argv);
    if (const std::string file = Environment("CORVANE_EXIT_CODE_FILE"); !file.empty()) {
        std::ofstream(file) << result << '\n';
    }
    return result;
}
