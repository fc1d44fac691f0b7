// What every control kind shares: its own window classes and the creation of a
// hidden child window at the place the window description gives it.
#pragma once
#include <windows.h>

#include "../window_description.h"

namespace corvane::ui {

// Registers a window class of the tool's own: double-clicks reported, redrawn
// whole on resizing, the arrow pointer and no background brush (the window
// procedure paints). Registering a class that exists already counts as success.
bool RegisterOwnClass(HINSTANCE instance, const char* name, WNDPROC procedure, UINT classStyle);

// Creates the control hidden, with WS_CHILD and WS_CLIPSIBLINGS, WS_TABSTOP when it
// takes the focus, and its control identifier as the child identifier.
// `createParam` reaches WM_NCCREATE/WM_CREATE. nullptr on failure.
HWND CreateChild(const ControlSpec& spec, const char* className, DWORD style, DWORD exStyle, HWND parent,
                 HINSTANCE instance, void* createParam = nullptr);

}  // namespace corvane::ui
