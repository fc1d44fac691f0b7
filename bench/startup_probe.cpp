// Measures, inside one Wine session, how long a GUI program takes from
// CreateProcess until its first top-level window is visible and its thread
// has finished starting (it answers a message), over several runs; optionally
// makes one query through Corvane's window and reports its working set.
//
//   startup_probe <program.exe> <runs> [--query ADDRESS KEY]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "find_window.h"
#include "unique_handle.h"

namespace {

// Corvane's control identifiers: 编辑框1, 编辑框2, 按钮1.
constexpr int kAddressBox = 0x16010003;
constexpr int kKeyBox = 0x16010005;
constexpr int kQueryButton = 0x16010008;

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::size_t WorkingSetKiB(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process, &counters, sizeof counters);
    return counters.WorkingSetSize / 1024;
}

// One start: the time to a visible, responsive window; -1 when none appeared.
double StartOnce(const std::string& program, const char* address, const char* key) {
    std::string command = "\"" + program + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    LARGE_INTEGER start, shown;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        return -1;
    }
    const corvane::e2e::UniqueHandle process(info.hProcess), thread(info.hThread);
    HWND window = nullptr;
    for (int i = 0; i < 30000 && !window; ++i) {
        window = corvane::e2e::FindProcessWindow(info.dwProcessId, [](HWND) { return true; });
        if (!window) Sleep(1);
    }
    DWORD_PTR ignored = 0;
    if (window) SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &ignored);
    QueryPerformanceCounter(&shown);

    if (window && address) {
        std::printf("  working set after start: %zu KiB\n", WorkingSetKiB(info.hProcess));
        SendMessageA(GetDlgItem(window, kAddressBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(address));
        SendMessageA(GetDlgItem(window, kKeyBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(key));
        // Returns once the query has written its result.
        SendMessageA(GetDlgItem(window, kQueryButton), BM_CLICK, 0, 0);
        std::printf("  working set after a query: %zu KiB\n", WorkingSetKiB(info.hProcess));
    }
    if (window) PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(info.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(info.hProcess, 1);
    return window ? Milliseconds(start, shown) : -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_probe program.exe runs [--query ADDRESS KEY]\n");
        return 2;
    }
    const std::string program = argv[1];
    const int runs = std::max(1, std::atoi(argv[2]));
    const bool query = argc >= 6 && std::string(argv[3]) == "--query";

    std::vector<double> times;
    StartOnce(program, nullptr, nullptr);  // warm-up: file cache, Wine's DLLs
    for (int i = 0; i < runs; ++i) {
        const bool last = i == runs - 1;
        const double ms = StartOnce(program, last && query ? argv[4] : nullptr, last && query ? argv[5] : nullptr);
        if (ms < 0) {
            std::fprintf(stderr, "startup_probe: %s showed no window\n", program.c_str());
            return 1;
        }
        times.push_back(ms);
    }
    std::sort(times.begin(), times.end());
    std::printf("  start-up to a shown window: median %.0f ms, min %.0f ms, max %.0f ms (%d runs)\n",
                times[times.size() / 2], times.front(), times.back(), runs);
    return 0;
}
