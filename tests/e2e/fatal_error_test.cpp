// The fatal error path: a modal box without an owner, with an OK button, then
// the end of the process with exit code -1.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "corvane_app.h"
#include "wait_until.h"

namespace corvane::app {
namespace {

using e2e::UniqueHandle;
using e2e::WaitUntil;

struct BoxSearch {
    DWORD process_id;
    HWND box;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<BoxSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char cls[16] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (owner == search->process_id && std::string(cls) == "#32770" && IsWindowVisible(window)) {
        search->box = window;
        return FALSE;
    }
    return TRUE;
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

    BoxSearch search{info.dwProcessId, nullptr};
    ASSERT_TRUE(WaitUntil([&] {
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
        return search.box != nullptr;
    })) << "no message box appeared";
    EXPECT_EQ(GetWindow(search.box, GW_OWNER), nullptr);
    const HWND ok = GetDlgItem(search.box, IDOK);
    ASSERT_NE(ok, nullptr) << "the box has no OK button";
    EXPECT_EQ(GetDlgItem(search.box, IDCANCEL), nullptr);
    EXPECT_EQ(WaitForSingleObject(process.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "the process ended before the box was answered";

    PostMessageA(search.box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
    ASSERT_EQ(WaitForSingleObject(process.get(), 15000), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    EXPECT_EQ(static_cast<int>(code), -1);
}

}  // namespace
}  // namespace corvane::app
