// The frame's rules that real input cannot reach through the tool's window:
// what a handler's result does to its message, which controls count in the
// focus order, and which focused control wants Enter.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "focus.h"
#include "input_events.h"
#include "keyboard.h"

namespace corvane::app {
namespace {

struct WindowCloser {
    void operator()(HWND window) const {
        if (IsWindow(window)) DestroyWindow(window);
    }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowCloser>;

UniqueWindow MakeWindow(const char* cls, DWORD style, HWND parent = nullptr) {
    return UniqueWindow(CreateWindowExA(0, cls, "", style, 0, 0, 100, 30, parent, nullptr,
                                        GetModuleHandleA(nullptr), nullptr));
}

class FrameTest : public ::testing::Test {
protected:
    // One shown main window for the suite: without a window manager, Wine waits
    // for X to unmap a shown window when it is destroyed.
    static void SetUpTestSuite() {
        main_window_ = MakeWindow("STATIC", WS_OVERLAPPED).release();
        ShowWindow(main_window_, SW_SHOWNOACTIVATE);  // children count only while visible
    }
    static void TearDownTestSuite() { DestroyWindow(main_window_); }

    void SetUp() override {
        ASSERT_TRUE(main_window_);
        for (auto& child : children_) {
            child = MakeWindow("BUTTON", WS_CHILD | WS_VISIBLE, main_window_);
            ASSERT_TRUE(child);
        }
    }
    std::vector<HWND> Order() const {
        return {children_[0].get(), children_[1].get(), children_[2].get()};
    }

    static HWND main_window_;
    UniqueWindow children_[3];
};

HWND FrameTest::main_window_ = nullptr;

TEST_F(FrameTest, HandlerResultDecidesWhetherTheMessageGoesOn) {
    const HWND label = children_[0].get();
    struct Case {
        const char* name;
        UINT message;
        HandlerResult result;
        bool destroy_main;
        bool claimed;
        WPARAM wparam_after;
    };
    const Case cases[] = {
        {"no value goes on", WM_LBUTTONDOWN, std::nullopt, false, false, 0},
        {"zero cancels", WM_LBUTTONDOWN, 0, false, true, 0},
        {"non-zero goes on", WM_LBUTTONDOWN, 7, false, false, 0},
        {"a character result replaces the character", WM_CHAR, 'B', false, false, 'B'},
        {"zero cancels a character", WM_CHAR, 0, false, true, 'a'},
        {"a closed main window claims it", WM_LBUTTONDOWN, std::nullopt, true, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UniqueWindow scratch_main;
        HWND main_window = main_window_;
        if (c.destroy_main) {
            scratch_main = MakeWindow("STATIC", WS_OVERLAPPED);
            main_window = scratch_main.get();
        }
        const InputEvent event = *InputEventOf(c.message);
        int calls = 0;
        InputEventArgs seen;
        const InputBinding bindings[] = {{label, event, [&](const InputEventArgs& args) {
                                              ++calls;
                                              seen = args;
                                              if (c.destroy_main) DestroyWindow(main_window);
                                              return c.result;
                                          }}};
        const WPARAM original = c.message == WM_CHAR ? 'a' : 0;
        MSG msg{label, c.message, original, MAKELPARAM(0xFFFF, 7), 0, {}};
        EXPECT_EQ(RaiseInputEvent(msg, main_window, bindings), c.claimed);
        EXPECT_EQ(calls, 1);
        if (c.message == WM_CHAR) {
            EXPECT_EQ(msg.wParam, c.wparam_after);
        } else {
            EXPECT_EQ(seen.x, 0xFFFF) << "x is unsigned";
            EXPECT_EQ(seen.y, 7);
        }
    }
}

TEST_F(FrameTest, OnlyTheBoundTargetAndEventRunTheHandler) {
    int calls = 0;
    const InputBinding bindings[] = {{children_[0].get(), InputEvent::kLeftButtonPress,
                                      [&](const InputEventArgs&) { ++calls; return HandlerResult(0); }}};
    const MSG others[] = {
        {children_[1].get(), WM_LBUTTONDOWN, 0, 0, 0, {}},  // another control
        {children_[0].get(), WM_LBUTTONDBLCLK, 0, 0, 0, {}},  // the second press of a double-click
        {children_[0].get(), WM_RBUTTONDOWN, 0, 0, 0, {}},
        {children_[0].get(), WM_PAINT, 0, 0, 0, {}},  // not input at all
    };
    for (MSG msg : others) {
        EXPECT_FALSE(RaiseInputEvent(msg, main_window_, bindings)) << std::hex << msg.message;
    }
    EXPECT_EQ(calls, 0);
}

TEST_F(FrameTest, FocusOrderSkipsControlsThatCannotTakeTheFocusAndWraps) {
    const auto [a, b, c] = std::tuple(children_[0].get(), children_[1].get(), children_[2].get());
    EXPECT_EQ(StepFocus(Order(), c, false), a);
    EXPECT_EQ(StepFocus(Order(), a, true), c);
    EXPECT_EQ(StepFocus(Order(), main_window_, false), a) << "from outside the order: the first";
    EXPECT_EQ(StepFocus(Order(), main_window_, true), c) << "backward from outside: the last";

    ShowWindow(b, SW_HIDE);
    EXPECT_EQ(StepFocus(Order(), a, false), c);
    EnableWindow(c, FALSE);
    EXPECT_EQ(StepFocus(Order(), a, false), a);
    EXPECT_EQ(FirstFocusable(Order()), a);
    children_[0].reset();
    EXPECT_EQ(StepFocus(Order(), nullptr, false), nullptr);
    EXPECT_EQ(FirstFocusable(Order()), nullptr);
}

TEST_F(FrameTest, OnlyAWritableMultiLineEditWantsEnter) {
    const UniqueWindow multi = MakeWindow("EDIT", WS_CHILD | ES_MULTILINE | ES_WANTRETURN, main_window_);
    const UniqueWindow read_only = MakeWindow("EDIT", WS_CHILD | ES_MULTILINE | ES_READONLY, main_window_);
    const UniqueWindow single = MakeWindow("EDIT", WS_CHILD, main_window_);
    const KeyCode enter{VK_RETURN}, tab{VK_TAB}, esc{VK_ESCAPE};
    EXPECT_TRUE(ControlWantsKey(multi.get(), enter));
    EXPECT_FALSE(ControlWantsKey(multi.get(), tab));
    EXPECT_FALSE(ControlWantsKey(multi.get(), esc));
    EXPECT_FALSE(ControlWantsKey(read_only.get(), enter));
    EXPECT_FALSE(ControlWantsKey(single.get(), enter));
    EXPECT_FALSE(ControlWantsKey(children_[0].get(), enter));
}

}  // namespace
}  // namespace corvane::app
