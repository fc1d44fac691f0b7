// The window as an accessibility tool sees it: frame, place, children, their
// classes, rectangles, texts, styles and stacking order.
#include <algorithm>
#include <string>
#include <vector>

#include "ui_test_support.h"

namespace corvane::ui::test {
namespace {

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

bool HasStyle(HWND window, LONG_PTR bits) { return (GetWindowLongPtrA(window, GWL_STYLE) & bits) == bits; }
bool HasExStyle(HWND window, LONG_PTR bits) { return (GetWindowLongPtrA(window, GWL_EXSTYLE) & bits) == bits; }

TEST_F(MainWindowTest, BuildLeavesTheWindowHiddenAtItsCentredPlaceWithItsFrame) {
    HWND main = Main();
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_EQ(WindowText(main), "Corvane  ");
    EXPECT_EQ(FindWindowA(nullptr, "Corvane  "), main) << "found by its caption";
    EXPECT_EQ(GetWindow(main, GW_OWNER), nullptr);
    EXPECT_EQ(GetParent(main), nullptr);
    EXPECT_EQ(GetMenu(main), nullptr);

    RECT outer;
    GetWindowRect(main, &outer);
    EXPECT_EQ(outer.right - outer.left, 380);
    EXPECT_EQ(outer.bottom - outer.top, 590);
    EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 380) / 2);
    EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 590) / 2);

    EXPECT_TRUE(HasStyle(main, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN));
    EXPECT_FALSE(HasStyle(main, WS_THICKFRAME));
    EXPECT_FALSE(HasStyle(main, WS_MAXIMIZEBOX));
    EXPECT_FALSE(HasExStyle(main, WS_EX_TOPMOST));
    EXPECT_FALSE(HasExStyle(main, WS_EX_TOOLWINDOW));
    EXPECT_EQ(GetClassLongPtrA(main, GCL_STYLE), CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
    EXPECT_EQ(GetClassLongPtrA(main, GCLP_HBRBACKGROUND), 0) << "the window paints its face colour itself";

    EXPECT_NE(SendMessageA(main, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageA(main, WM_GETICON, ICON_SMALL, 0), 0);
}

TEST_F(MainWindowTest, DoubleClickOnTheTitleBarMaximisesNothing) {
    ShowActive();
    // A double click on the title bar maximises nothing.
    RECT before;
    GetWindowRect(Main(), &before);
    SendMessageA(Main(), WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(before.left + 40, before.top + 8));
    PumpPending();
    RECT after;
    GetWindowRect(Main(), &after);
    EXPECT_FALSE(IsZoomed(Main()));
    EXPECT_TRUE(EqualRect(&before, &after));
}

struct ExpectedControl {
    ControlId id;
    const char* name;
    const char* className;
    int left, top, width, height;  // height -1: the platform's (the closed combo box field)
    const char* text;
    bool takesFocus;
};

// UTF-8 in this file, GBK in the program (the UI texts' encoding).
const ExpectedControl kExpected[] = {
    {ControlId::标签1, "标签1", "CorvaneLabel", 8, 8, 32, 24, "IP:", false},
    {ControlId::编辑框1, "编辑框1", "Edit", 40, 8, 144, 24, "", true},
    {ControlId::标签2, "标签2", "CorvaneLabel", 8, 40, 40, 24, "Key:", false},
    {ControlId::编辑框2, "编辑框2", "Edit", 40, 40, 320, 24, "", true},
    {ControlId::编辑框3, "编辑框3", "Edit", 8, 120, 360, 432, "", true},
    {ControlId::按钮1, "按钮1", "Button", 184, 72, 152, 40, "查询", true},
    {ControlId::标签3, "标签3", "CorvaneLabel", 7, 83, 40, 24, "端口:", false},
    {ControlId::组合框1, "组合框1", "ComboBox", 55, 84, 100, -1, "2100", true},
    {ControlId::透明标签1, "透明标签1", "CorvaneTransLabel", 184, 8, 176, 24, "获取Key", false},
};

TEST_F(MainWindowTest, EachControlHasItsClassPlaceTextAndFocusStyle) {
    std::vector<HWND> children;
    EnumChildWindows(
        Main(),
        [](HWND child, LPARAM found) {
            reinterpret_cast<std::vector<HWND>*>(found)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    // The combo box's own list (and nothing else) may appear besides the nine.
    std::erase_if(children, [](HWND child) { return GetParent(child) != GetAncestor(child, GA_ROOT) ||
                                                    ClassOf(child) == "ComboLBox"; });
    EXPECT_EQ(children.size(), 9u);

    for (const ExpectedControl& expected : kExpected) {
        SCOPED_TRACE(expected.name);
        HWND control = Control(expected.id);
        ASSERT_NE(control, nullptr);
        EXPECT_NE(std::find(children.begin(), children.end(), control), children.end());
        EXPECT_EQ(static_cast<UINT>(GetDlgCtrlID(control)), static_cast<UINT>(expected.id));
        EXPECT_EQ(GetParent(control), Main());
        EXPECT_STRCASEEQ(ClassOf(control).c_str(), expected.className);
        const RECT rect = RectInParent(control);
        EXPECT_EQ(rect.left, expected.left);
        EXPECT_EQ(rect.top, expected.top);
        EXPECT_EQ(rect.right - rect.left, expected.width);
        if (expected.height >= 0) {
            EXPECT_EQ(rect.bottom - rect.top, expected.height);
        }
        EXPECT_EQ(WindowText(control), expected.text);
        EXPECT_TRUE(HasStyle(control, WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE));
        EXPECT_TRUE(IsWindowEnabled(control));
        EXPECT_EQ(HasStyle(control, WS_TABSTOP), expected.takesFocus);
    }

    // Opened, the port list shows all five ports at once, without scrolling.
    HWND combo = Control(ControlId::组合框1);
    ShowActive();
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO parts{};
    parts.cbSize = sizeof parts;
    ASSERT_TRUE(GetComboBoxInfo(combo, &parts));
    EXPECT_TRUE(IsWindowVisible(parts.hwndList));
    RECT list;
    GetClientRect(parts.hwndList, &list);
    EXPECT_GE(list.bottom, 5 * SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
}

TEST_F(MainWindowTest, FocusOrderFollowsCreationAmongTheControlsThatTakeFocus) {
    const std::vector<HWND> expected{Control(ControlId::编辑框1), Control(ControlId::编辑框2),
                                     Control(ControlId::编辑框3), Control(ControlId::按钮1),
                                     Control(ControlId::组合框1)};
    EXPECT_EQ(window_->FocusOrder(), expected);
}

TEST_F(MainWindowTest, StackingOrderPutsTheLinkOnTopAndTheKeyBoxOverItsLabel) {
    const ControlId topToBottom[] = {ControlId::透明标签1, ControlId::组合框1, ControlId::标签3,
                                     ControlId::按钮1,     ControlId::编辑框3, ControlId::编辑框2,
                                     ControlId::标签2,     ControlId::编辑框1, ControlId::标签1};
    std::vector<UINT> actual;
    for (HWND child = GetWindow(Main(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        actual.push_back(static_cast<UINT>(GetDlgCtrlID(child)));
    }
    std::vector<UINT> expected;
    for (ControlId id : topToBottom) expected.push_back(static_cast<UINT>(id));
    EXPECT_EQ(actual, expected);

    // 标签2's right 8 pixels (x 40..47) lie beneath 编辑框2.
    EXPECT_EQ(ChildWindowFromPointEx(Main(), POINT{44, 50}, CWP_SKIPINVISIBLE), Control(ControlId::编辑框2));
    EXPECT_EQ(ChildWindowFromPointEx(Main(), POINT{39, 50}, CWP_SKIPINVISIBLE), Control(ControlId::标签2));
}

}  // namespace
}  // namespace corvane::ui::test
