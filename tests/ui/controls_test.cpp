// What the controls let the user do, and the reads and writes the lookup query uses.
#include <string>

#include "ui_test_support.h"

namespace corvane::ui::test {
namespace {

LONG_PTR Style(HWND window) { return GetWindowLongPtrA(window, GWL_STYLE); }
LONG_PTR ExStyle(HWND window) { return GetWindowLongPtrA(window, GWL_EXSTYLE); }
HFONT FontOf(HWND window) { return reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)); }
HFONT DefaultGuiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

void Type(HWND control, const std::string& text) {
    for (unsigned char c : text) SendMessageA(control, WM_CHAR, c, 1);
}

TEST_F(MainWindowTest, EditBoxesAreOneLineScrollingOrMultiLineWrapping) {
    struct Case {
        ControlId id;
        const char* name;
        bool multiLine;
    };
    for (const Case& c : {Case{ControlId::编辑框1, "编辑框1", false}, Case{ControlId::编辑框2, "编辑框2", false},
                          Case{ControlId::编辑框3, "编辑框3", true}}) {
        SCOPED_TRACE(c.name);
        HWND edit = Control(c.id);
        const LONG_PTR style = Style(edit);
        EXPECT_EQ((style & ES_MULTILINE) != 0, c.multiLine);
        EXPECT_EQ((style & ES_AUTOHSCROLL) != 0, !c.multiLine) << "only one-line boxes scroll sideways";
        EXPECT_EQ((style & WS_VSCROLL) != 0, c.multiLine);
        EXPECT_EQ((style & ES_WANTRETURN) != 0, c.multiLine);
        EXPECT_EQ((style & ES_AUTOVSCROLL) != 0, c.multiLine);
        EXPECT_EQ(style & (WS_HSCROLL | ES_READONLY | ES_PASSWORD | ES_UPPERCASE | ES_LOWERCASE | ES_NUMBER |
                           ES_NOHIDESEL | ES_CENTER | ES_RIGHT),
                  0);
        EXPECT_EQ((ExStyle(edit) & WS_EX_CLIENTEDGE) != 0, !c.multiLine) << "sunken edge on one-line boxes";
        EXPECT_EQ(FontOf(edit), DefaultGuiFont());
        // The platform's largest limit, far above its default of 30000 characters.
        EXPECT_GE(static_cast<DWORD>(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0)), 0x7FFFFFFEu);
        DWORD start = 1, end = 1;
        SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(end, 0u);
        EXPECT_EQ(window_->EditText(c.id), "");
    }
}

TEST_F(MainWindowTest, TypedTextHasNoLimitOfTheToolsOwnAndScrollsSideways) {
    ShowActive();
    HWND address = Control(ControlId::编辑框1);
    const std::string longText(40000, '7');  // beyond the platform's default limit
    SendMessageA(address, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(longText.c_str()));
    EXPECT_EQ(window_->EditText(ControlId::编辑框1), longText);
    // With the caret at the end the box has scrolled: its first visible character is not the first.
    EXPECT_GT(SendMessageA(address, EM_GETFIRSTVISIBLELINE, 0, 0), 0);

    HWND key = Control(ControlId::编辑框2);
    SetFocus(key);
    Type(key, "abc 中国");
    EXPECT_EQ(window_->EditText(ControlId::编辑框2), "abc 中国");
}

TEST_F(MainWindowTest, ResultBoxWrapsTakesEnterAndIsReplacedWhole) {
    ShowActive();
    HWND result = Control(ControlId::编辑框3);
    window_->SetResultText(std::string(400, 'w'));
    EXPECT_GT(SendMessageA(result, EM_GETLINECOUNT, 0, 0), 1) << "a long line wraps";

    SetFocus(result);
    SendMessageA(result, EM_SETSEL, 0, -1);
    Type(result, "one\rtwo");
    EXPECT_EQ(window_->EditText(ControlId::编辑框3), "one\r\ntwo");

    window_->SetResultText("北京\r\n电信");
    EXPECT_EQ(window_->EditText(ControlId::编辑框3), "北京\r\n电信");
    window_->SetResultText("");
    EXPECT_EQ(window_->EditText(ControlId::编辑框3), "");
}

TEST_F(MainWindowTest, PortListOffersTheFivePortsInOrderWithTheFirstSelected) {
    HWND combo = Control(ControlId::组合框1);
    EXPECT_EQ(Style(combo) & 3, CBS_DROPDOWNLIST);
    EXPECT_EQ(Style(combo) & CBS_SORT, 0);
    EXPECT_EQ(FindWindowExA(combo, nullptr, "Edit", nullptr), nullptr) << "nothing to type into";
    EXPECT_EQ(FontOf(combo), DefaultGuiFont());

    EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 5);
    const char* ports[] = {"2100", "2200", "2300", "2400", "2500"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(window_->ComboItemText(i), ports[i]) << i;
    for (int outside : {-1, 5, 1000}) EXPECT_EQ(window_->ComboItemText(outside), "") << outside;
    EXPECT_EQ(window_->ComboSelection(), 0);
    EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 0, 0), 0);

    SendMessageA(combo, CB_SETCURSEL, 3, 0);
    EXPECT_EQ(window_->ComboSelection(), 3);
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(window_->ComboSelection(), -1);
}

TEST_F(MainWindowTest, PortItemsAreOnePixelHigherThanThePlatformsDefault) {
    // A plain drop-down list with the same font gives the platform's item height.
    OwnedWindow plain(CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST | WS_VSCROLL, 0, 0, 100, 160,
                                      Main(), nullptr, GetModuleHandleA(nullptr), nullptr));
    ASSERT_NE(plain, nullptr);
    SendMessageA(plain.get(), WM_SETFONT, reinterpret_cast<WPARAM>(DefaultGuiFont()), FALSE);
    const LRESULT platform = SendMessageA(plain.get(), CB_GETITEMHEIGHT, 0, 0);
    const LRESULT ours = SendMessageA(Control(ControlId::组合框1), CB_GETITEMHEIGHT, 0, 0);
    if (RunningUnderWine()) {
        // Wine changes list item heights only for owner-drawn combo boxes.
        EXPECT_EQ(ours, platform);
    } else {
        EXPECT_EQ(ours, platform + 1);
    }
}

TEST_F(MainWindowTest, QueryButtonIsAnOrdinaryPushButtonThatReportsItsClick) {
    HWND button = Control(ControlId::按钮1);
    EXPECT_EQ(Style(button) & BS_TYPEMASK, BS_PUSHBUTTON) << "not a default push button";
    EXPECT_EQ(Style(button) & (BS_CENTER | BS_VCENTER | BS_MULTILINE), BS_CENTER | BS_VCENTER | BS_MULTILINE);
    EXPECT_EQ(FontOf(button), DefaultGuiFont());

    ShowActive();
    SendMessageA(button, BM_CLICK, 0, 0);
    PumpPending();
    EXPECT_EQ(events_.clicks, 1);

    // Another control's notification is not the button's click.
    SendMessageA(Main(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(Control(ControlId::编辑框1)));
    EXPECT_EQ(events_.clicks, 1);
}

TEST_F(MainWindowTest, FocusActivationAndDestructionAreReported) {
    ShowActive();
    const int focusedBefore = events_.focused;
    SetFocus(Control(ControlId::编辑框2));
    SetFocus(Main());
    EXPECT_EQ(events_.focused, focusedBefore + 1);

    // Another top-level window taking the activation deactivates the main window.
    {
        OwnedWindow other(CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100,
                                          nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
        ASSERT_NE(other, nullptr);
        SetForegroundWindow(other.get());
        SetActiveWindow(other.get());
        EXPECT_TRUE(PumpUntil([&] { return events_.deactivated > 0; }));
    }

    EXPECT_EQ(events_.destroyed, 0);
    DestroyWindow(Main());
    EXPECT_EQ(events_.destroyed, 1);
    EXPECT_EQ(window_->Handle(), nullptr);
    EXPECT_EQ(window_->Control(ControlId::编辑框3), nullptr);
    // Reads and writes on a closed window are harmless.
    EXPECT_EQ(window_->EditText(ControlId::编辑框1), "");
    EXPECT_EQ(window_->ComboSelection(), -1);
    EXPECT_EQ(window_->ComboItemText(0), "");
    window_->SetResultText("late");
}

TEST(MainWindowLifetime, DestroyingTheObjectDestroysTheWindowOnce) {
    CountingEvents events;
    HWND handle = nullptr;
    {
        auto window = MainWindow::Build(GetModuleHandleA(nullptr), events);
        ASSERT_NE(window, nullptr);
        handle = window->Handle();
        EXPECT_EQ(events.destroyed, 0) << "building reports nothing";
    }
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(events.destroyed, 1);
}

}  // namespace
}  // namespace corvane::ui::test
