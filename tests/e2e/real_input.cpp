#include "real_input.h"

#include <vector>

namespace corvane::e2e {

namespace {

INPUT KeyInput(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

INPUT MouseInput(POINT screen, DWORD flags) {
    // Absolute coordinates run from 0 to 65535 across the primary screen.
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((screen.x * 65536 + width / 2) / width);
    input.mi.dy = static_cast<LONG>((screen.y * 65536 + height / 2) / height);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    return input;
}

void Send(std::vector<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace

void PressKey(WORD key, std::initializer_list<WORD> modifiers) {
    std::vector<INPUT> inputs;
    for (WORD modifier : modifiers) inputs.push_back(KeyInput(modifier, false));
    inputs.push_back(KeyInput(key, false));
    inputs.push_back(KeyInput(key, true));
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) {
        inputs.push_back(KeyInput(*it, true));
    }
    Send(std::move(inputs));
}

void TypeText(std::string_view text) {
    for (char c : text) {
        const SHORT scan = VkKeyScanA(c);
        const WORD key = LOBYTE(scan);
        if (HIBYTE(scan) & 1) PressKey(key, {VK_SHIFT});
        else PressKey(key);
    }
}

void ClickAt(POINT screen, Button button) {
    const DWORD down = button == Button::kLeft ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN;
    const DWORD up = button == Button::kLeft ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP;
    Send({MouseInput(screen, 0), MouseInput(screen, down), MouseInput(screen, up)});
}

void DoubleClickAt(POINT screen) {
    Send({MouseInput(screen, 0), MouseInput(screen, MOUSEEVENTF_LEFTDOWN),
          MouseInput(screen, MOUSEEVENTF_LEFTUP), MouseInput(screen, MOUSEEVENTF_LEFTDOWN),
          MouseInput(screen, MOUSEEVENTF_LEFTUP)});
}

POINT CentreOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

}  // namespace corvane::e2e
