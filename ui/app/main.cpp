// Process entry: start-up in its fixed order, the message loop, the ending.
#include <windows.h>
#include <ole2.h>

#include <string>

#include "application.h"
#include "fatal_error.h"
#include "lookup_fetcher.h"

namespace {

constexpr char kLoadFailed[] = "加载启动窗口失败。";

// Set once OleInitialize has been called, whatever it returned, so that the
// ending balances it with OleUninitialize.
bool g_com_initialised = false;

// The executable's folder becomes the current directory. The path is read in
// full however long it is, so a truncated path never names another folder.
void MakeExecutableFolderCurrent() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return;
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::string::size_type slash = path.rfind('\\');
    if (slash == std::string::npos) return;
    path.resize(slash);
    SetCurrentDirectoryA(path.c_str());
}

}  // namespace

// Command-line arguments and the start-up show state are ignored.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    corvane::app::InstallOutOfMemoryHandler();

    if (!g_com_initialised) {
        OleInitialize(nullptr);  // a failure changes nothing: the shell call copes
        g_com_initialised = true;
    }
    MakeExecutableFolderCurrent();

    int exit_code = 0;
    {
        corvane::app::Application app(corvane::app::LookupFetcher());
        if (!app.Load(instance)) corvane::app::FatalError(kLoadFailed);
        exit_code = app.Run();
    }

    if (g_com_initialised) OleUninitialize();
    return exit_code;
}
