// The UI driver's entry. Run by CTest (through Wine), it starts itself again
// inside a private Wine virtual desktop, where Wine draws frames and title bars
// and handles activation as Windows does, and passes on that run's result:
// Wine's explorer does not pass exit codes through.
//
//   e2e_driver --corvane=<unix path of corvane.exe> --url-recorder=<unix path
//              of record_url.sh> --url-log=<unix path> [gtest flags]
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "corvane_app.h"

namespace {

constexpr char kInsideOption[] = "inside-desktop";  // its value: the result file
constexpr char kDesktopSize[] = "1024x768";
constexpr char kBrowserKey[] = "Software\\Wine\\WineBrowser";
constexpr char kBrowserValue[] = "Browsers";

// Wine shows the Unix file system as drive Z:.
std::string WindowsPath(const std::string& unix_path) {
    std::string path = "Z:";
    path += unix_path;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

std::string OptionValue(const std::vector<std::string>& args, const std::string& name) {
    const std::string prefix = "--" + name + "=";
    for (const std::string& arg : args) {
        if (arg.rfind(prefix, 0) == 0) return arg.substr(prefix.size());
    }
    return {};
}

void AppendQuoted(std::string& command, const std::string& arg) {
    command.append(" \"").append(arg).append("\"");
}

// Points Wine's shell at the browser stand-in for the driver's life and puts
// back what was there, so a later run of the tool opens pages as before.
class BrowserStandIn {
public:
    explicit BrowserStandIn(const std::string& recorder) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kBrowserKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr) != ERROR_SUCCESS) {
            return;
        }
        key_ = key;
        char old[1024] = {};
        DWORD size = sizeof old - 1;
        DWORD type = 0;
        if (RegQueryValueExA(key_, kBrowserValue, nullptr, &type, reinterpret_cast<BYTE*>(old),
                             &size) == ERROR_SUCCESS && type == REG_SZ) {
            old_value_ = std::string(old);
            had_value_ = true;
        }
        RegSetValueExA(key_, kBrowserValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(recorder.c_str()),
                       static_cast<DWORD>(recorder.size() + 1));
    }
    ~BrowserStandIn() {
        if (!key_) return;
        if (had_value_) {
            RegSetValueExA(key_, kBrowserValue, 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(old_value_.c_str()),
                           static_cast<DWORD>(old_value_.size() + 1));
        } else {
            RegDeleteValueA(key_, kBrowserValue);
        }
        RegCloseKey(key_);
    }
    BrowserStandIn(const BrowserStandIn&) = delete;
    BrowserStandIn& operator=(const BrowserStandIn&) = delete;

private:
    HKEY key_ = nullptr;
    std::string old_value_;
    bool had_value_ = false;
};

// Starts this program again inside a new virtual desktop and returns the
// result that run wrote, or 1 when it wrote none.
int RunInsideDesktop(int argc, char** argv) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    char temp_dir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp_dir);
    const std::string result_file =
        std::string(temp_dir) + "corvane-e2e-" + std::to_string(GetCurrentProcessId()) + ".result";
    DeleteFileA(result_file.c_str());

    std::string command = "explorer.exe /desktop=corvane-e2e-";
    command.append(std::to_string(GetCurrentProcessId())).append(",").append(kDesktopSize);
    AppendQuoted(command, self);
    for (int i = 1; i < argc; ++i) AppendQuoted(command, argv[i]);
    AppendQuoted(command, std::string("--").append(kInsideOption).append("=").append(result_file));

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &info)) {
        std::fprintf(stderr, "e2e: cannot start the virtual desktop (error %lu)\n", GetLastError());
        return 1;
    }
    corvane::e2e::UniqueHandle process(info.hProcess);
    corvane::e2e::UniqueHandle thread(info.hThread);
    WaitForSingleObject(process.get(), INFINITE);

    int result = 1;
    std::ifstream in(result_file);
    if (!(in >> result)) std::fprintf(stderr, "e2e: the run inside the desktop left no result\n");
    in.close();
    DeleteFileA(result_file.c_str());
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const std::string result_file = OptionValue(args, kInsideOption);
    if (result_file.empty()) return RunInsideDesktop(argc, argv);

    testing::InitGoogleTest(&argc, argv);
    args.assign(argv + 1, argv + argc);
    corvane::e2e::Options().corvane_exe = WindowsPath(OptionValue(args, "corvane"));
    corvane::e2e::Options().url_log = WindowsPath(OptionValue(args, "url-log"));
    BrowserStandIn browser(OptionValue(args, "url-recorder"));

    const int result = RUN_ALL_TESTS();
    std::ofstream(result_file) << result << '\n';
    return result;
}
