// The real corvane.exe driven with real keys and clicks inside a Wine virtual
// desktop, against a fixture lookup server on 127.0.0.1:2100-2500.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include "corvane_app.h"
#include "corvane_config.h"
#include "real_input.h"
#include "test_http_server.h"
#include "wait_until.h"

namespace corvane::e2e {
namespace {

using testing::Request;
using testing::Response;
using testing::TestHttpServer;
using ui::ControlId;

constexpr uint16_t kPorts[] = {2100, 2200, 2300, 2400, 2500};
constexpr std::chrono::milliseconds kPortPatience{90000};

class CorvaneTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = new TestHttpServer();
        for (uint16_t port : kPorts) ListenWhenFree(port);
    }
    // A port that an earlier run's connections left in TIME_WAIT cannot be
    // bound again under Wine until they expire (up to a minute on Linux).
    static void ListenWhenFree(uint16_t port) {
        std::string error;
        const bool bound = WaitUntil(
            [&] {
                try {
                    server_->Listen(port);
                    return true;
                } catch (const std::runtime_error& e) {
                    error = e.what();
                    return false;
                }
            },
            kPortPatience);
        ASSERT_TRUE(bound) << error;
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }

    void SetUp() override {
        server_->ClearRequests();
        Reply("");
        ForgetOpenedUrls();
        app_ = CorvaneApp::Start();
        ASSERT_TRUE(app_);
        ASSERT_TRUE(WaitForFocus(ControlId::编辑框1)) << "the tool did not start with 编辑框1 focused";
    }

    static void Reply(const std::string& body) {
        server_->SetHandler([body](const Request&) { return Response::Text(body); });
    }

    bool WaitForFocus(ControlId id) {
        return WaitUntil([&] { return app_->Focus() == app_->Control(id); });
    }
    bool WaitForText(ControlId id, const std::string& text) {
        return WaitUntil([&] { return app_->Text(id) == text; });
    }
    // Tab n times from 编辑框1, where every test starts; true once `id` has the focus.
    [[nodiscard]] bool TabTo(ControlId id, int tabs) {
        for (int i = 0; i < tabs; ++i) PressKey(VK_TAB);
        return WaitForFocus(id);
    }
    int ComboSelection() {
        DWORD_PTR selection = 0;
        SendMessageTimeoutA(app_->Control(ControlId::组合框1), CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG,
                            10000, &selection);
        return static_cast<int>(selection);
    }
    void ExpectEndsWithZero() {
        const std::optional<DWORD> code = app_->WaitForExit();
        ASSERT_TRUE(code.has_value()) << "the tool did not end";
        EXPECT_EQ(*code, 0u);
    }

    static TestHttpServer* server_;
    std::unique_ptr<CorvaneApp> app_;
};

TestHttpServer* CorvaneTest::server_ = nullptr;

// For failure messages: which window is in front instead.
std::string ForegroundWindow() {
    const HWND window = GetForegroundWindow();
    char title[128] = {}, cls[128] = {};
    GetWindowTextA(window, title, sizeof title);
    GetClassNameA(window, cls, sizeof cls);
    return std::string("foreground: \"") + title + "\" (" + cls + ")";
}

TEST_F(CorvaneTest, StartsCentredActiveWithCaretInAddressBoxAndIgnoresArguments) {
    RECT rect{};
    GetWindowRect(app_->Window(), &rect);
    const int screen_w = GetSystemMetrics(SM_CXSCREEN), screen_h = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(rect.left, (screen_w - 380) / 2);
    EXPECT_EQ(rect.top, (screen_h - 590) / 2);
    EXPECT_EQ(app_->Active(), app_->Window());
    EXPECT_EQ(app_->CaretOwner(), app_->Control(ControlId::编辑框1));
    for (ControlId id : {ControlId::标签1, ControlId::编辑框1, ControlId::标签2, ControlId::编辑框2,
                         ControlId::编辑框3, ControlId::按钮1, ControlId::标签3, ControlId::组合框1,
                         ControlId::透明标签1}) {
        EXPECT_TRUE(IsWindowVisible(app_->Control(id))) << std::hex << static_cast<UINT>(id);
    }

    // A second copy, with arguments, is a window of its own that starts the same way.
    std::unique_ptr<CorvaneApp> second = CorvaneApp::Start("--port 2500 -x 1.2.3.4");
    ASSERT_TRUE(second);
    EXPECT_NE(second->Window(), app_->Window());
    EXPECT_TRUE(WaitUntil([&] { return second->Focus() == second->Control(ControlId::编辑框1); }));
    PressKey(VK_ESCAPE);
    const std::optional<DWORD> code = second->WaitForExit();
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0u);
    EXPECT_TRUE(app_->IsRunning());
}

TEST_F(CorvaneTest, QueryShowsTheReplyAndTheNextReplyReplacesIt) {
    Reply("IP: 1.2.3.4<br>Country: CN<BR>City: X<br/>");
    TypeText("1.2.3.4");
    PressKey(VK_TAB);
    TypeText("k-123");
    ASSERT_TRUE(WaitForText(ControlId::编辑框2, "k-123"));
    ASSERT_TRUE(TabTo(ControlId::组合框1, 3));
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    ASSERT_TRUE(WaitUntil([&] { return ComboSelection() == 2; }));

    ClickAt(CentreOf(app_->Control(ControlId::按钮1)));
    ASSERT_TRUE(server_->WaitForRequests(1));
    const Request request = server_->Requests()[0];
    EXPECT_EQ(request.port, 2300);
    EXPECT_EQ(request.RequestLine(), "GET /getip?ip=1.2.3.4&key=k-123 HTTP/1.0");
    EXPECT_TRUE(WaitForText(ControlId::编辑框3, "IP: 1.2.3.4\r\nCountry: CN\r\nCity: X<br/>"))
        << app_->Text(ControlId::编辑框3);

    Reply("second");
    ClickAt(CentreOf(app_->Control(ControlId::按钮1)));
    EXPECT_TRUE(WaitForText(ControlId::编辑框3, "second"));

    Reply("");  // an empty reply clears the box
    ClickAt(CentreOf(app_->Control(ControlId::按钮1)));
    ASSERT_TRUE(server_->WaitForRequests(3));
    EXPECT_TRUE(WaitForText(ControlId::编辑框3, ""));
    EXPECT_EQ(server_->RequestCount(), 3u);
}

TEST_F(CorvaneTest, TabAndShiftTabWrapAroundTheFocusOrder) {
    const ControlId order[] = {ControlId::编辑框2, ControlId::编辑框3, ControlId::按钮1,
                               ControlId::组合框1, ControlId::编辑框1};
    for (ControlId next : order) {
        PressKey(VK_TAB);
        ASSERT_TRUE(WaitForFocus(next)) << std::hex << static_cast<UINT>(next);
    }
    PressKey(VK_TAB, {VK_SHIFT});
    ASSERT_TRUE(WaitForFocus(ControlId::组合框1));
    PressKey(VK_TAB, {VK_SHIFT});
    ASSERT_TRUE(WaitForFocus(ControlId::按钮1));
    EXPECT_EQ(app_->Text(ControlId::编辑框3), "") << "Tab through 编辑框3 inserted something";
}

TEST_F(CorvaneTest, EnterStartsALineInTheResultBoxOnly) {
    ASSERT_TRUE(TabTo(ControlId::编辑框3, 2));
    TypeText("x");
    PressKey(VK_RETURN);
    TypeText("y");
    PressKey(VK_TAB);
    ASSERT_TRUE(WaitForFocus(ControlId::按钮1));
    EXPECT_EQ(app_->Text(ControlId::编辑框3), "x\r\ny");
}

TEST_F(CorvaneTest, EnterDoesNotQueryButSpaceOnTheButtonDoes) {
    Reply("answer");
    TypeText("1.1.1.1");
    PressKey(VK_RETURN);  // in 编辑框1
    PressKey(VK_TAB);
    PressKey(VK_RETURN);  // in 编辑框2
    ASSERT_TRUE(TabTo(ControlId::组合框1, 3));
    PressKey(VK_RETURN);  // on 组合框1
    PressKey(VK_TAB, {VK_SHIFT});
    ASSERT_TRUE(WaitForFocus(ControlId::按钮1));
    PressKey(VK_SPACE);
    // Input is handled in order, so any query from Enter would come first.
    ASSERT_TRUE(WaitForText(ControlId::编辑框3, "answer"));
    EXPECT_EQ(server_->RequestCount(), 1u);
    EXPECT_EQ(ComboSelection(), 0);
}

class EscFromEachControl : public CorvaneTest, public ::testing::WithParamInterface<int> {};

TEST_P(EscFromEachControl, ClosesWithExitCodeZeroButShiftEscDoesNot) {
    const ControlId order[] = {ControlId::编辑框1, ControlId::编辑框2, ControlId::编辑框3,
                               ControlId::按钮1, ControlId::组合框1};
    ASSERT_TRUE(TabTo(order[GetParam()], GetParam()));
    PressKey(VK_ESCAPE, {VK_SHIFT});
    // Leave the control by Tab and come back: proof that Shift+Esc was handled.
    PressKey(VK_TAB);
    PressKey(VK_TAB, {VK_SHIFT});
    ASSERT_TRUE(WaitForFocus(order[GetParam()]));
    ASSERT_TRUE(app_->IsRunning()) << "Shift+Esc closed the window";
    ASSERT_TRUE(IsWindow(app_->Window()));

    PressKey(VK_ESCAPE);
    ExpectEndsWithZero();
}

INSTANTIATE_TEST_SUITE_P(Controls, EscFromEachControl, ::testing::Range(0, 5));

enum class CloseBy { kCloseBox, kAltF4, kSystemMenu };

class CloseRequest : public CorvaneTest, public ::testing::WithParamInterface<CloseBy> {};

TEST_P(CloseRequest, EndsWithExitCodeZeroWithoutAsking) {
    switch (GetParam()) {
        case CloseBy::kCloseBox: {
            const std::optional<POINT> close_box = app_->CloseBoxPoint();
            ASSERT_TRUE(close_box.has_value()) << "no close box on the title bar";
            ClickAt(*close_box);
            break;
        }
        case CloseBy::kAltF4:
            PressKey(VK_F4, {VK_MENU});
            break;
        case CloseBy::kSystemMenu:
            // Alt+Space opens the system menu; C is the mnemonic of its Close.
            PressKey(VK_SPACE, {VK_MENU});
            PressKey('C');
            break;
    }
    ExpectEndsWithZero();
}

INSTANTIATE_TEST_SUITE_P(Ways, CloseRequest,
                         ::testing::Values(CloseBy::kCloseBox, CloseBy::kAltF4, CloseBy::kSystemMenu));

TEST_F(CorvaneTest, KeyLinkOpensTheKeyPageOncePerPressAndNeverForTheRightButton) {
    const std::string url_line = std::string(CORVANE_KEY_PAGE_URL) + "\n";
    const POINT link = CentreOf(app_->Control(ControlId::透明标签1));

    ClickAt(link);
    ASSERT_TRUE(WaitUntil([] { return OpenedUrlCount() >= 1; }));
    EXPECT_EQ(OpenedUrls(), url_line);

    DoubleClickAt(link);
    ASSERT_TRUE(WaitUntil([] { return OpenedUrlCount() >= 2; }));

    // The right button opens nothing: the left click after it is the second
    // line's only successor.
    ClickAt(link, Button::kRight);
    ClickAt(link);
    ASSERT_TRUE(WaitUntil([] { return OpenedUrlCount() >= 3; }));
    PressKey(VK_ESCAPE);
    ExpectEndsWithZero();
    EXPECT_EQ(OpenedUrls(), url_line + url_line + url_line);
}

// Another program's window that the tests switch to and away from.
class OtherWindow {
public:
    OtherWindow() {
        WNDCLASSA window_class{};
        window_class.lpfnWndProc = DefWindowProcA;
        window_class.hInstance = GetModuleHandleA(nullptr);
        window_class.lpszClassName = kClassName;
        window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        RegisterClassA(&window_class);  // fails harmlessly when registered before
        window_ = CreateWindowExA(0, kClassName, "other program", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  10, 10, 200, 120, nullptr, nullptr, window_class.hInstance, nullptr);
    }
    ~OtherWindow() { DestroyWindow(window_); }
    OtherWindow(const OtherWindow&) = delete;
    OtherWindow& operator=(const OtherWindow&) = delete;
    HWND Handle() const { return window_; }

private:
    static constexpr char kClassName[] = "CorvaneE2eOtherWindow";
    HWND window_ = nullptr;
};

bool RunningUnderWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// Clicks `point` until `window` is in front; returns the number of clicks, or
// 0 when it never came to the front. On Windows a click on an inactive window
// always activates it; under Wine 8 in a virtual desktop a click on another
// process's window now and then arrives without activating it, so there the
// user's next click is tried.
int ClickUntilActive(POINT point, HWND window) {
    const int attempts = RunningUnderWine() ? 4 : 1;
    for (int clicks = 1; clicks <= attempts; ++clicks) {
        ClickAt(point);
        if (WaitUntil([&] { return GetForegroundWindow() == window; },
                      clicks == attempts ? kPatience : std::chrono::milliseconds(3000))) {
            return clicks;
        }
        std::printf("note: click %d on an inactive window did not activate it (Wine); clicking again\n",
                    clicks);
    }
    return 0;
}

TEST_F(CorvaneTest, FocusComesBackAfterSwitchingAwayAndAPressOnTheLinkActivates) {
    ASSERT_TRUE(TabTo(ControlId::按钮1, 3));
    OtherWindow other;
    ASSERT_TRUE(other.Handle());
    // Switched away once both sides have handled it: the other window is
    // active in its thread and the tool's thread has let go of its window.
    auto switch_away = [&] {
        ASSERT_GT(ClickUntilActive(CentreOf(other.Handle()), other.Handle()), 0) << ForegroundWindow();
        ASSERT_TRUE(WaitUntil([&] {
            return GetActiveWindow() == other.Handle() && app_->Active() != app_->Window();
        }));
    };

    ASSERT_NO_FATAL_FAILURE(switch_away());
    ASSERT_GT(ClickUntilActive(app_->CaptionPoint(), app_->Window()), 0) << ForegroundWindow();
    EXPECT_TRUE(WaitForFocus(ControlId::按钮1)) << "focus on " << app_->Focus() << ", 按钮1 is "
                                               << app_->Control(ControlId::按钮1);

    // A press on the link of the inactive window activates it and opens the
    // page, once per press.
    ASSERT_NO_FATAL_FAILURE(switch_away());
    const int presses = ClickUntilActive(CentreOf(app_->Control(ControlId::透明标签1)), app_->Window());
    ASSERT_GT(presses, 0) << ForegroundWindow();
    EXPECT_TRUE(WaitForFocus(ControlId::按钮1));
    EXPECT_TRUE(WaitUntil([&] { return OpenedUrlCount() == presses; })) << OpenedUrls();
}

TEST_F(CorvaneTest, AClickQueuedDuringAQueryRunsAnotherQueryAfterIt) {
    // The first reply is held back until the second click has been queued.
    UniqueHandle first_arrived(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    UniqueHandle release(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(first_arrived && release);
    auto replies = std::make_shared<std::atomic<int>>(0);
    server_->SetHandler([arrived = first_arrived.get(), release = release.get(), replies](const Request&) {
        if (++*replies == 1) {
            SetEvent(arrived);
            WaitForSingleObject(release, static_cast<DWORD>(kPatience.count()));
            return Response::Text("first");
        }
        return Response::Text("second");
    });

    const POINT button = CentreOf(app_->Control(ControlId::按钮1));
    ClickAt(button);
    ASSERT_EQ(WaitForSingleObject(first_arrived.get(), static_cast<DWORD>(kPatience.count())),
              WAIT_OBJECT_0);
    ClickAt(button);  // queued: the tool is inside the first query
    SetEvent(release.get());

    ASSERT_TRUE(server_->WaitForRequests(2));
    EXPECT_TRUE(WaitForText(ControlId::编辑框3, "second"));
    EXPECT_EQ(server_->RequestCount(), 2u);
    Reply("");
}

}  // namespace
}  // namespace corvane::e2e
