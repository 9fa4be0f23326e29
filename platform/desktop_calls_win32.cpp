#include "platform/desktop_calls_win32.h"

#include <windows.h>

namespace quellbo::platform::win32 {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");
static_assert(sizeof(HWND) <= sizeof(WindowHandle), "a window handle fits the number");

HWND toHandle(WindowHandle window) { return reinterpret_cast<HWND>(static_cast<UINT_PTR>(window)); }

// Virtual key codes are 1..254; 0 means "not given".
bool isVirtualKey(int key) { return key > 0 && key < 0xFF; }

void sendKey(int key, DWORD flags) {
  const UINT scanCode = MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
  keybd_event(static_cast<BYTE>(key), static_cast<BYTE>(scanCode), flags, 0);
}

}  // namespace

// The wide call finds the title whatever the system's ANSI code page is.
WindowHandle findWindow(const char16_t* title) {
  return static_cast<WindowHandle>(reinterpret_cast<UINT_PTR>(FindWindowW(nullptr, reinterpret_cast<LPCWSTR>(title))));
}

void setWindowTop(WindowHandle window) {
  SetWindowPos(toHandle(window), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

bool clientToScreen(WindowHandle window, ScreenPoint* point) {
  POINT origin{point->x, point->y};
  if (!ClientToScreen(toHandle(window), &origin)) return false;
  point->x = static_cast<int>(origin.x);
  point->y = static_cast<int>(origin.y);
  return true;
}

bool getCursorPos(ScreenPoint* point) {
  POINT position{0, 0};
  if (!GetCursorPos(&position)) return false;
  point->x = static_cast<int>(position.x);
  point->y = static_cast<int>(position.y);
  return true;
}

void setCursorPos(int x, int y) { SetCursorPos(x, y); }

// The pointer already stands on the click point, so the event carries no
// offset (with MOUSEEVENTF_MOVE one would move the pointer by it).
void sendMouseInput(MouseInput input) {
  DWORD flags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP;
  if (input == MouseInput::RightClick) flags = MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_RIGHTUP;
  if (input == MouseInput::LeftPress) flags = MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN;
  mouse_event(flags, 0, 0, 0, 0);
}

void sendKeyPresses(const int* keys, int count) {
  for (int i = 0; i < count; ++i) {
    if (isVirtualKey(keys[i])) sendKey(keys[i], 0);
  }
  for (int i = 0; i < count; ++i) {
    if (isVirtualKey(keys[i])) sendKey(keys[i], KEYEVENTF_KEYUP);
  }
}

// As a key press would leave it in the window's queue; no WM_KEYUP follows.
void postKeyDown(WindowHandle window, int key) {
  if (!isVirtualKey(key)) return;
  PostMessageW(toHandle(window), WM_KEYDOWN, static_cast<WPARAM>(key), 0);
}

}  // namespace quellbo::platform::win32
