#include "assist/browser_engine.h"

#include <unistd.h>

#include <QCoreApplication>

namespace quellbo::assist {

void prepareBrowserEngine() {
  // The engine's pages render in a context shared with the widgets.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  // The engine refuses to start its sandbox for root, and then shows no page.
  if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

}  // namespace quellbo::assist
