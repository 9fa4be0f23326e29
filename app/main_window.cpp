#include "app/main_window.h"

#include "app/form_spec.h"
#include "app/form_widgets.h"
#include "app/handlers.h"

namespace quellbo::app {

MainWindow::MainWindow() : MainWindow(Events{onMainWindowCreated, onMainWindowDestroying}) {}

MainWindow::MainWindow(Events events) : FormWindow(platform::Form::Main), m_events(std::move(events)) {
  buildForm(*this, mainForm());
  // Every control has its fixed place; the window does not grow.
  setFixedSize(size());
}

void MainWindow::created() {
  if (m_events.created) m_events.created();
}

void MainWindow::destroying() {
  if (m_events.destroying) m_events.destroying();
}

}  // namespace quellbo::app
