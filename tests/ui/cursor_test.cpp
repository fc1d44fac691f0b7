// The pointing hand over the link, and the class pointers everywhere else.
#include "resources/resource_ids.h"
#include "ui_test_support.h"

namespace corvane::ui::test {
namespace {

HCURSOR OurHand() { return LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_CORVANE_HAND)); }

// What a window sets as the pointer when the mouse moves over its client area.
HCURSOR PointerOver(HWND window) {
    SetCursor(nullptr);
    SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
}

TEST_F(MainWindowTest, PointerIsTheHandOverTheLinkOnly) {
    ShowActive();
    ASSERT_NE(OurHand(), nullptr) << "the hand cursor is a resource of the program";
    EXPECT_EQ(PointerOver(Control(ControlId::透明标签1)), OurHand());

    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    const HCURSOR text = LoadCursorA(nullptr, IDC_IBEAM);
    const struct {
        HWND window;
        HCURSOR expected;
    } others[] = {
        {Main(), arrow},
        {Control(ControlId::标签1), arrow},
        {Control(ControlId::标签2), arrow},
        {Control(ControlId::标签3), arrow},
        {Control(ControlId::按钮1), arrow},
        {Control(ControlId::组合框1), arrow},
        {Control(ControlId::编辑框1), text},
        {Control(ControlId::编辑框2), text},
        {Control(ControlId::编辑框3), text},
    };
    for (const auto& other : others) {
        EXPECT_EQ(PointerOver(other.window), other.expected) << GetDlgCtrlID(other.window);
    }
}

TEST_F(MainWindowTest, MovingThePointerOntoTheLinkShowsTheHand) {
    ShowActive();
    auto moveTo = [&](POINT client) {
        ClientToScreen(Main(), &client);
        SetCursorPos(client.x, client.y);
    };
    moveTo(POINT{184 + 88, 8 + 12});
    EXPECT_TRUE(PumpUntil([] { return GetCursor() == OurHand(); })) << "over 透明标签1";
    moveTo(POINT{170, 100});  // bare window between the port list and the button
    EXPECT_TRUE(PumpUntil([] { return GetCursor() == LoadCursorA(nullptr, IDC_ARROW); })) << "over the window";
}

TEST(HandCursor, IsA32By32MonochromeCursorWithItsHotSpotAtTheFingertip) {
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(OurHand(), &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.hbmColor, nullptr) << "monochrome: the mask holds both images";
    BITMAP mask{};
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, 32);
    EXPECT_EQ(mask.bmHeight, 64);
    EXPECT_LE(info.xHotspot, 8u);
    EXPECT_EQ(info.yHotspot, 0u);
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
}

}  // namespace
}  // namespace corvane::ui::test
