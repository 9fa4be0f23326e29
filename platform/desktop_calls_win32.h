#pragma once

// The Windows calls of the desktop primitives. This header and its source use
// nothing of the C++ library, so the source can be checked against the
// Windows headers on any machine that has them.

namespace quellbo::platform::win32 {

// A window handle as a number; 0 is none.
using WindowHandle = unsigned long long;

struct ScreenPoint {
  int x;
  int y;
};

enum class MouseInput { LeftClick, RightClick, LeftPress };

// The top-level window whose title is exactly the zero-terminated UTF-16 title.
WindowHandle findWindow(const char16_t* title);
// Top of the Z order, neither moved nor resized.
void setWindowTop(WindowHandle window);
// The client origin in screen coordinates; false when the window is gone.
bool clientToScreen(WindowHandle window, ScreenPoint* point);
bool getCursorPos(ScreenPoint* point);
void setCursorPos(int x, int y);
void sendMouseInput(MouseInput input);
// System-wide key-down of each virtual key in order, then key-up in the same
// order; keys outside 1..254 are skipped.
void sendKeyPresses(const int* keys, int count);
// One WM_KEYDOWN posted to the window.
void postKeyDown(WindowHandle window, int key);

}  // namespace quellbo::platform::win32
