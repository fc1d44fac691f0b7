// The fatal error path: a modal box without an owner, with an OK button, then
// the end of the process with exit code -1.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "corvane_app.h"
#include "find_window.h"
#include "wait_until.h"

namespace corvane::app {
namespace {

using e2e::UniqueHandle;
using e2e::WaitUntil;

bool IsDialog(HWND window) {
    char cls[16] = {};
    GetClassNameA(window, cls, sizeof cls);
    return std::string(cls) == "#32770";
}

std::string ChildPath(const char* name) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path(self);
    path.resize(path.rfind('\\') + 1);
    return path.append(name);
}

TEST(FatalError, ShowsAnOwnerlessBoxThenEndsWithMinusOne) {
    std::string command = "\"";
    command.append(ChildPath("fatal_error_child.exe")).append("\"");
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &info)) << command;
    UniqueHandle process(info.hProcess), thread(info.hThread);

    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        box = e2e::FindProcessWindow(info.dwProcessId, IsDialog);
        return box != nullptr;
    })) << "no message box appeared";
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    const HWND ok = GetDlgItem(box, IDOK);
    ASSERT_NE(ok, nullptr) << "the box has no OK button";
    EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr);
    EXPECT_EQ(WaitForSingleObject(process.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "the process ended before the box was answered";

    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
    ASSERT_EQ(WaitForSingleObject(process.get(), 15000), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    EXPECT_EQ(static_cast<int>(code), -1);
}

}  // namespace
}  // namespace corvane::app
