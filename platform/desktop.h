#pragma once

#include <cstdint>
#include <memory>

#include "platform/text.h"

namespace quellbo::platform {

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

// A top-level window of another program, found by its title; 0 is none.
using ForeignWindow = std::uint64_t;

// Mouse actions of a synthetic click.
enum class MouseAction { LeftClick, RightClick, LeftPress };

// Virtual key codes the program sends.
inline constexpr int kKeyControl = 17;
inline constexpr int kKeyReturn = 13;
inline constexpr int kKeyV = 86;


// The desktop primitives that chat delivery needs, one implementation per
// platform (desktop_x11.cpp, desktop_win32.cpp), reached through the services.
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
