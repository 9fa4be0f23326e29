#include <QApplication>
#include <QPointer>

#include "app/main_window.h"
#include "assist/browser_engine.h"
#include "assist/credentials_window.h"
#include "platform/services_qt.h"

using quellbo::platform::Form;

int main(int argc, char** argv) {
  quellbo::assist::prepareBrowserEngine();
  QApplication application(argc, argv);
  // The loop ends when the main window is gone, not when the last window
  // hides: a message box shown while it closes must not end it early.
  QApplication::setQuitOnLastWindowClosed(false);

  quellbo::platform::QtServices services;
  quellbo::platform::installServices(&services);
  services.setWindowFactory(Form::Main, [] { return new quellbo::app::MainWindow; });
  quellbo::assist::registerCredentialsWindow(services);
  services.openWindow(Form::Main, false);

  QPointer<quellbo::platform::FormWindow> window = services.window(Form::Main);
  if (window) {
    QObject::connect(window, &QObject::destroyed, &application, &QCoreApplication::quit);
    QApplication::exec();
  }
  quellbo::platform::installServices(nullptr);
  return 0;
}
