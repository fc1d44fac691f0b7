#include "fatal_error.h"

#include <windows.h>

#include <new>

namespace corvane::app {

namespace {
constexpr char kCaption[] = "Corvane";
constexpr char kOutOfMemory[] = "内存不足，无法分配文本。";
constexpr UINT kFatalExitCode = static_cast<UINT>(-1);
}  // namespace

void FatalError(const char* what) {
    // No owner: the main window may not exist, or may be the thing that failed.
    MessageBoxA(nullptr, what, kCaption, MB_OK | MB_ICONERROR);
    ExitProcess(kFatalExitCode);
}

void InstallOutOfMemoryHandler() {
    std::set_new_handler([] { FatalError(kOutOfMemory); });
}

}  // namespace corvane::app
