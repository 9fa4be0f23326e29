#include <string>

#include "net/encodings.h"
#include "platform/desktop.h"
#include "platform/desktop_calls_win32.h"

namespace quellbo::platform {

namespace {

class Win32Desktop final : public Desktop {
 public:
  ForeignWindow findWindowByTitle(const Text& title) override;
  void raiseWindow(ForeignWindow window) override;
  Point clientOrigin(ForeignWindow window) override;
  Point cursorPosition() override;
  void setCursorPosition(Point screen) override;
  void mouseClick(MouseAction action) override;
  void simulateKeyPress(int key1, int key2, int key3) override;
  void postKeyDown(ForeignWindow window, int key) override;
};

// Our text is GB18030, which the system's ANSI code page need not be, so the
// title goes through UTF-16. An empty title would name an arbitrary untitled
// window to click and type into, so it finds none.
ForeignWindow Win32Desktop::findWindowByTitle(const Text& title) {
  const Text wanted = title.substr(0, title.find('\0'));
  if (wanted.empty()) return 0;
  const std::u16string wide = net::toUtf16(wanted);
  return win32::findWindow(wide.c_str());
}

void Win32Desktop::raiseWindow(ForeignWindow window) {
  if (window != 0) win32::setWindowTop(window);
}

Point Win32Desktop::clientOrigin(ForeignWindow window) {
  win32::ScreenPoint origin{0, 0};
  if (window == 0 || !win32::clientToScreen(window, &origin)) return {};
  return {origin.x, origin.y};
}

Point Win32Desktop::cursorPosition() {
  win32::ScreenPoint position{0, 0};
  if (!win32::getCursorPos(&position)) return {};
  return {position.x, position.y};
}

void Win32Desktop::setCursorPosition(Point screen) { win32::setCursorPos(screen.x, screen.y); }

void Win32Desktop::mouseClick(MouseAction action) {
  switch (action) {
    case MouseAction::LeftClick:
      win32::sendMouseInput(win32::MouseInput::LeftClick);
      return;
    case MouseAction::RightClick:
      win32::sendMouseInput(win32::MouseInput::RightClick);
      return;
    case MouseAction::LeftPress:
      win32::sendMouseInput(win32::MouseInput::LeftPress);
      return;
  }
}

void Win32Desktop::simulateKeyPress(int key1, int key2, int key3) {
  const int keys[] = {key1, key2, key3};
  win32::sendKeyPresses(keys, 3);
}

void Win32Desktop::postKeyDown(ForeignWindow window, int key) {
  if (window != 0) win32::postKeyDown(window, key);
}

}  // namespace

std::unique_ptr<Desktop> createDesktop() { return std::make_unique<Win32Desktop>(); }

}  // namespace quellbo::platform
