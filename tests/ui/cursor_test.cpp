// The pointing hand over the link, and the class pointers everywhere else.
#include <memory>
#include <type_traits>

#include "gdi.h"
#include "resources/resource_ids.h"
#include "ui_test_support.h"

namespace corvane::ui::test {
namespace {

using OwnedBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;

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
    // A real move of the mouse, as the input system reports it.
    auto moveTo = [&](POINT client) {
        ClientToScreen(Main(), &client);
        INPUT move{};
        move.type = INPUT_MOUSE;
        move.mi.dx = MulDiv(client.x, 65536, GetSystemMetrics(SM_CXSCREEN));
        move.mi.dy = MulDiv(client.y, 65536, GetSystemMetrics(SM_CYSCREEN));
        move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &move, sizeof move);
    };
    // The move is repeated while waiting: a move that reaches Wine before the
    // display has settled can be overtaken by the display's own pointer position.
    auto pointerBecomes = [&](POINT client, HCURSOR expected) {
        return PumpUntil([&] {
            if (GetCursor() == expected) return true;
            moveTo(client);
            return false;
        });
    };
    EXPECT_TRUE(pointerBecomes(POINT{184 + 88, 8 + 12}, OurHand())) << "over 透明标签1";
    // Bare window between the port list and the button.
    EXPECT_TRUE(pointerBecomes(POINT{170, 100}, LoadCursorA(nullptr, IDC_ARROW))) << "over the window";
}

TEST(HandCursor, IsA32By32MonochromeCursorWithItsHotSpotAtTheFingertip) {
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(OurHand(), &info));
    const OwnedBitmap maskBitmap(info.hbmMask), colourBitmap(info.hbmColor);  // GetIconInfo's copies
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.hbmColor, nullptr) << "monochrome: the mask holds both images";
    BITMAP mask{};
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, 32);
    EXPECT_EQ(mask.bmHeight, 64);
    EXPECT_LE(info.xHotspot, 8u);
    EXPECT_EQ(info.yHotspot, 0u);
}

}  // namespace
}  // namespace corvane::ui::test
