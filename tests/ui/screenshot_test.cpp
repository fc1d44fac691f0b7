// Holds the window on the screen while scripts/wine-desktop-run --screenshot
// takes the display's picture; skipped when no picture is asked for.
#include <cstdlib>
#include <fstream>
#include <string>

#include "ui_test_support.h"

namespace corvane::ui::test {
namespace {

bool FileExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

TEST_F(MainWindowTest, HoldsTheWindowForTheScreenshot) {
    const char* ready = std::getenv("CORVANE_SCREENSHOT_READY");
    const char* taken = std::getenv("CORVANE_SCREENSHOT_TAKEN");
    if (!ready || !taken) GTEST_SKIP() << "no screenshot asked for";

    ShowActive();
    SetFocus(Control(ControlId::编辑框1));  // as at start
    PumpPending();
    ASSERT_TRUE(std::ofstream(ready).good()) << ready;
    EXPECT_TRUE(PumpUntil([&] { return FileExists(taken); }, 60000));
}

}  // namespace
}  // namespace corvane::ui::test
