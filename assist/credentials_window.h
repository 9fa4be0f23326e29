#pragma once

#include "platform/services_qt.h"

class QWebEngineView;

namespace quellbo::assist {

// Lets services open the credentials window. Nothing of the browser engine
// is created before the window first opens.
void registerCredentialsWindow(platform::QtServices& services);

// The credentials assistant: its buttons above an embedded browser.
class CredentialsWindow : public platform::FormWindow {
  Q_OBJECT

 public:
  CredentialsWindow();

  void created() override;
  void navigate(const Text& url) override;

  QWebEngineView* browser() const { return m_browser; }

 private:
  QWebEngineView* m_browser = nullptr;
};

}  // namespace quellbo::assist
