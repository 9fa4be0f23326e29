#pragma once

#include <functional>

#include "platform/services_qt.h"

namespace quellbo::app {

// The program's main window with all its controls.
class MainWindow : public platform::FormWindow {
  Q_OBJECT

 public:
  // The window's event handlers; the program's own unless a test says so.
  struct Events {
    std::function<void()> created;
    std::function<void()> destroying;
  };

  MainWindow();
  explicit MainWindow(Events events);

  void created() override;
  void destroying() override;

 private:
  Events m_events;
};

}  // namespace quellbo::app
