#pragma once

namespace quellbo::test {

// Where the Qt tests draw their windows.
enum class QtDisplay { Offscreen, X11 };

// The one QApplication of a test program, created on first use and kept to
// the end. Widget tests draw offscreen; desktop tests need the X display
// that tools/with-xvfb.sh provides and return false without one.
bool startQtApplication(QtDisplay display);

}  // namespace quellbo::test
