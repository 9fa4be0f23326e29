#pragma once

#include <memory>

#include "platform/services.h"

namespace quellbo::platform {

// The desktop primitives that chat delivery needs, one implementation per
// platform (desktop_x11.cpp, desktop_win32.cpp). The Qt services delegate to it.
class Desktop {
 public:
  virtual ~Desktop() = default;
  // The top-level window whose title is exactly title, 0 when none.
  virtual ForeignWindow findWindowByTitle(const Text& title) = 0;
  // Top of the stacking order, neither moved nor resized.
  virtual void raiseWindow(ForeignWindow window) = 0;
  // Screen position of the window's client area origin.
  virtual Point clientOrigin(ForeignWindow window) = 0;
  virtual Point cursorPosition() = 0;
  virtual void setCursorPosition(Point screen) = 0;
  virtual void mouseClick(MouseAction action) = 0;
  // System-wide key-down of each key in order, then key-up in the same order.
  virtual void simulateKeyPress(int key1, int key2, int key3) = 0;
  // One key-down sent to the window itself.
  virtual void postKeyDown(ForeignWindow window, int key) = 0;
};

// The desktop of the running session; nullptr when there is none to drive.
std::unique_ptr<Desktop> createDesktop();

}  // namespace quellbo::platform
