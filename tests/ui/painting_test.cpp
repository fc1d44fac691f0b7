// What reaches the screen: the face colour behind the labels and the link, the
// white entry boxes, the link's blue text and its font.
#include <string>

#include "ui_test_support.h"

namespace corvane::ui::test {
namespace {

RECT ClientRectOf(HWND control) { return RectInParent(control); }

bool IsFace(COLORREF c) { return c == GetSysColor(COLOR_BTNFACE); }

// Antialiased blue text over the face colour mixes the two: red and green
// fall together, blue stays at least as high as either.
bool IsBlueOverFace(COLORREF c) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    return GetRValue(c) <= GetRValue(face) && GetGValue(c) <= GetGValue(face) && GetBValue(c) >= GetRValue(c) &&
           GetBValue(c) >= GetGValue(c) && GetBValue(c) > 0;
}

std::string Describe(COLORREF c) {
    return "RGB(" + std::to_string(GetRValue(c)) + "," + std::to_string(GetGValue(c)) + "," +
           std::to_string(GetBValue(c)) + ")";
}

TEST_F(MainWindowTest, LinkShowsOnlyBlueTextOverTheFaceColour) {
    ShowActive();
    const Capture link = CaptureClientArea(Main(), ClientRectOf(Control(ControlId::透明标签1)));
    ASSERT_EQ(link.pixels.size(), 176u * 24u);
    int blue = 0;
    for (int y = 0; y < link.height; ++y) {
        for (int x = 0; x < link.width; ++x) {
            const COLORREF c = link.At(x, y);
            ASSERT_TRUE(IsFace(c) || IsBlueOverFace(c)) << Describe(c) << " at " << x << "," << y;
            if (GetBValue(c) >= 200 && GetRValue(c) < 80 && GetGValue(c) < 80) ++blue;
        }
    }
    EXPECT_GT(blue, 20) << "the text is drawn in blue";
    // Centred: the edges of the label are bare.
    for (int y = 0; y < link.height; ++y) {
        EXPECT_TRUE(IsFace(link.At(0, y)) && IsFace(link.At(link.width - 1, y))) << y;
    }
}

TEST_F(MainWindowTest, LabelsAndWindowShowTheFaceColourAndTheEntryBoxesWhite) {
    ShowActive();
    for (ControlId id : {ControlId::标签1, ControlId::标签2, ControlId::标签3}) {
        RECT rect = ClientRectOf(Control(id));
        rect.right = rect.left + 4;  // the text starts at the left edge; look at the top and bottom rows
        const Capture label = CaptureClientArea(Main(), rect);
        EXPECT_TRUE(IsFace(label.At(0, 0))) << Describe(label.At(0, 0));
        EXPECT_TRUE(IsFace(label.At(3, label.height - 1))) << Describe(label.At(3, label.height - 1));
    }
    // Between the port list and the button only the window itself paints.
    const Capture gap = CaptureClientArea(Main(), RECT{160, 90, 180, 110});
    for (COLORREF c : gap.pixels) ASSERT_TRUE(IsFace(c)) << Describe(c);

    RECT inside = ClientRectOf(Control(ControlId::编辑框3));
    InflateRect(&inside, -20, -20);
    inside.right -= GetSystemMetrics(SM_CXVSCROLL);
    const Capture result = CaptureClientArea(Main(), inside);
    for (COLORREF c : result.pixels) ASSERT_EQ(c, RGB(255, 255, 255)) << Describe(c);

    RECT address = ClientRectOf(Control(ControlId::编辑框1));
    InflateRect(&address, -6, -6);
    const Capture entry = CaptureClientArea(Main(), address);
    for (COLORREF c : entry.pixels) ASSERT_EQ(c, RGB(255, 255, 255)) << Describe(c);
}

TEST_F(MainWindowTest, EntryTextIsBlackOnWhite) {
    ShowActive();
    for (ControlId id : {ControlId::编辑框1, ControlId::编辑框3}) {
        SetWindowTextA(Control(id), "8888 8888");
        UpdateWindow(Control(id));
        RECT inside = ClientRectOf(Control(id));
        InflateRect(&inside, -3, -3);
        inside.right = inside.left + 60;
        const Capture entry = CaptureClientArea(Main(), inside);
        int dark = 0;
        for (COLORREF c : entry.pixels) {
            ASSERT_TRUE(GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c)) << Describe(c);
            dark += GetRValue(c) < 60;
        }
        EXPECT_GT(dark, 10) << static_cast<UINT>(id);
    }
}

TEST_F(MainWindowTest, LabelTextIsBlackInTheDefaultGuiFont) {
    ShowActive();
    const Capture label = CaptureClientArea(Main(), ClientRectOf(Control(ControlId::标签1)));
    int dark = 0;
    for (COLORREF c : label.pixels) {
        if (GetRValue(c) < 60 && GetGValue(c) < 60 && GetBValue(c) < 60) ++dark;
    }
    EXPECT_GT(dark, 5) << "\"IP:\" is drawn in black";
    EXPECT_EQ(SendMessageA(Control(ControlId::标签1), WM_GETFONT, 0, 0),
              reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)));
}

TEST_F(MainWindowTest, ChangingTheLinkTextLeavesNoTraceOfTheOld) {
    ShowActive();
    HWND link = Control(ControlId::透明标签1);
    auto bluePixels = [&] {
        const Capture capture = CaptureClientArea(Main(), ClientRectOf(link));
        int blue = 0;
        for (COLORREF c : capture.pixels) blue += !IsFace(c);
        return blue;
    };
    const int before = bluePixels();
    SetWindowTextA(link, "");
    PumpPending();
    EXPECT_EQ(bluePixels(), 0) << "of " << before << " text pixels";
}

TEST_F(MainWindowTest, LinkFontIsMadeFromItsFaceAndHeight) {
    HWND link = Control(ControlId::透明标签1);
    EXPECT_EQ(GetWindowLongPtrA(link, GWL_EXSTYLE) & WS_EX_TRANSPARENT, WS_EX_TRANSPARENT);
    EXPECT_EQ(GetClassLongPtrA(link, GCL_STYLE), CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
    EXPECT_EQ(GetClassLongPtrA(link, GCLP_HBRBACKGROUND), 0);

    auto font = reinterpret_cast<HFONT>(SendMessageA(link, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTA logical{};
    ASSERT_EQ(GetObjectA(font, sizeof logical, &logical), static_cast<int>(sizeof logical));
    EXPECT_STREQ(logical.lfFaceName, "微软雅黑");
    EXPECT_EQ(logical.lfHeight, -15);
    EXPECT_EQ(logical.lfWidth, 0);
    EXPECT_EQ(logical.lfEscapement, 0);
    EXPECT_EQ(logical.lfOrientation, 0);
    EXPECT_EQ(logical.lfWeight, FW_NORMAL);
    EXPECT_FALSE(logical.lfItalic);
    EXPECT_FALSE(logical.lfUnderline);
    EXPECT_FALSE(logical.lfStrikeOut);
    EXPECT_EQ(logical.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(logical.lfQuality, PROOF_QUALITY);
}

}  // namespace
}  // namespace corvane::ui::test
