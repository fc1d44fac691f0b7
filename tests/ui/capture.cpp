#include <memory>
#include <type_traits>

#include "gdi.h"
#include "ui_test_support.h"

namespace corvane::ui::test {
namespace {

struct DcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using OwnedMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;
using OwnedBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;

}  // namespace

Capture CaptureClientArea(HWND window, const RECT& area) {
    // Wine copies what was painted to the display when the thread finds its
    // queue empty; pumping until then makes the screen current.
    GdiFlush();
    PumpPending();
    Capture capture;
    capture.width = area.right - area.left;
    capture.height = area.bottom - area.top;
    POINT origin{area.left, area.top};
    ClientToScreen(window, &origin);

    WindowDc screen(nullptr);
    OwnedMemoryDc memory(CreateCompatibleDC(screen.Get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = capture.width;
    info.bmiHeader.biHeight = -capture.height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    OwnedBitmap bitmap(CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) return capture;
    {
        SelectScope select(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, capture.width, capture.height, screen.Get(), origin.x, origin.y, SRCCOPY);
        GdiFlush();
    }
    const auto* pixels = static_cast<const DWORD*>(bits);
    capture.pixels.reserve(static_cast<size_t>(capture.width * capture.height));
    for (int i = 0; i < capture.width * capture.height; ++i) {
        const DWORD p = pixels[i];  // 0x00RRGGBB
        capture.pixels.push_back(RGB((p >> 16) & 0xff, (p >> 8) & 0xff, p & 0xff));
    }
    return capture;
}

}  // namespace corvane::ui::test
