#include "tests/support/qt_application.h"

#include <QApplication>
#include <cstdlib>

namespace quellbo::test {

bool startQtApplication(QtDisplay display) {
  if (QApplication::instance() != nullptr) return true;
  if (display == QtDisplay::Offscreen) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  } else {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) return false;
    qputenv("QT_QPA_PLATFORM", "xcb");
  }
  static int argc = 1;
  static char name[] = "quellbo-test";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);  // lives until the process ends
  return true;
}

}  // namespace quellbo::test
