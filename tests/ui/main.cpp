// The window tests' entry. Under a Wine virtual desktop the program's exit code
// does not reach the caller, so it is also written to the file that
// CORVANE_EXIT_CODE_FILE names (see scripts/wine-desktop-run).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "ui_test_support.h"

namespace corvane::ui::test {

std::string g_resourceExecutable;

}  // namespace corvane::ui::test

namespace {

// Wine maps drive Z: to the Unix root, so a Unix path given by the build works too.
std::string WindowsPath(std::string path) {
    if (path.empty() || path[0] != '/') return path;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return "Z:" + path;
}

void WriteExitCode(int code) {
    const char* file = std::getenv("CORVANE_EXIT_CODE_FILE");
    if (!file || !*file) return;
    if (std::FILE* out = std::fopen(file, "w")) {
        std::fprintf(out, "%d\n", code);
        std::fclose(out);
    }
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    constexpr const char kResourceOption[] = "--resource-exe=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], kResourceOption, sizeof kResourceOption - 1) == 0) {
            corvane::ui::test::g_resourceExecutable = WindowsPath(argv[i] + sizeof kResourceOption - 1);
        }
    }
    const int code = RUN_ALL_TESTS();
    std::fflush(stdout);
    WriteExitCode(code);
    return code;
}
