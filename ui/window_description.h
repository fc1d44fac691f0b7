// The main window as data: every place, size, text, style and list item of the
// window and its nine controls is fixed here and nowhere else. The texts are
// written in UTF-8 and compiled to code page 936 (GBK) bytes.
#pragma once
#include <windows.h>

#include <array>

#include "main_window.h"

namespace corvane::ui {

// The five kinds of control; each has a small type in controls/.
enum class ControlKind { Label, EditBox, Button, ComboBox, TransLabel };

// Edit boxes come in two shapes: one line that scrolls sideways, or several
// lines that wrap, with a vertical scroll bar and Enter for new lines.
enum class EditLines { NotAnEdit, One, Several };

struct ControlSpec {
    ControlId id;
    ControlKind kind;
    int left, top, width, height;  // client coordinates of the main window, unscaled pixels
    const char* text;
    bool takesFocus;
    int focusOrder;  // ties keep the creation order
    EditLines lines = EditLines::NotAnEdit;
};

struct WindowSpec {
    const char* caption;
    int width, height;  // outer size, frame and title bar included
    DWORD style;
    DWORD classStyle;
    bool escClosesWindow;
    bool enterMovesFocus;
    bool hasDefaultPushButton;
};

inline constexpr WindowSpec kMainWindowSpec{
    .caption = "Corvane  ",
    .width = 380,
    .height = 590,
    // A fixed single frame: no sizing border and no maximise box, but a system menu.
    .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
    .classStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS,
    .escClosesWindow = true,
    .enterMovesFocus = false,
    .hasDefaultPushButton = false,
};

// In creation order: ascending control identifier.
inline constexpr std::array<ControlSpec, 9> kControlSpecs{{
    {ControlId::标签1, ControlKind::Label, 8, 8, 32, 24, "IP:", false, 0},
    {ControlId::编辑框1, ControlKind::EditBox, 40, 8, 144, 24, "", true, 0, EditLines::One},
    {ControlId::标签2, ControlKind::Label, 8, 40, 40, 24, "Key:", false, 0},
    {ControlId::编辑框2, ControlKind::EditBox, 40, 40, 320, 24, "", true, 0, EditLines::One},
    {ControlId::编辑框3, ControlKind::EditBox, 8, 120, 360, 432, "", true, 0, EditLines::Several},
    {ControlId::按钮1, ControlKind::Button, 184, 72, 152, 40, "查询", true, 0},
    {ControlId::标签3, ControlKind::Label, 7, 83, 40, 24, "端口:", false, 0},
    // The combo box's height is that of the field with its list open.
    {ControlId::组合框1, ControlKind::ComboBox, 55, 84, 100, 160, "", true, 0},
    {ControlId::透明标签1, ControlKind::TransLabel, 184, 8, 176, 24, "获取Key", false, 0},
}};

// From top to bottom.
inline constexpr std::array<ControlId, 9> kStackingOrder{
    ControlId::透明标签1, ControlId::组合框1, ControlId::标签3,  ControlId::按钮1,  ControlId::编辑框3,
    ControlId::编辑框2,   ControlId::标签2,   ControlId::编辑框1, ControlId::标签1,
};

// The port list of 组合框1, in display order (not sorted); item 0 is selected at start.
inline constexpr std::array<const char*, 5> kPortItems{"2100", "2200", "2300", "2400", "2500"};
inline constexpr int kInitialPortIndex = 0;
// Added to the platform's item height so the five items fit the 160-pixel list.
inline constexpr int kPortItemExtraHeight = 1;

// The link-like label's look.
struct FontSpec {
    const char* face;
    int height;  // negative: character height in pixels
    int width, escapement, orientation, weight;
    bool italic, underline, strikeOut;
};
inline constexpr FontSpec kTransLabelFont{"微软雅黑", -15, 0, 0, 0, FW_NORMAL, false, false, false};
inline constexpr COLORREF kTransLabelTextColour = RGB(0, 0, 255);

inline constexpr COLORREF kLabelTextColour = RGB(0, 0, 0);
inline constexpr COLORREF kEntryTextColour = RGB(0, 0, 0);        // edit boxes and the port list
inline constexpr COLORREF kEntryBackgroundColour = RGB(255, 255, 255);

// A one-line edit box is never lower than this character's height plus twice the 3-D edge.
inline constexpr const char* kEditHeightProbe = "吴";

}  // namespace corvane::ui
