#include "assist/credentials_window.h"

#include <QCoreApplication>
#include <QPointer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "app/form_spec.h"
#include "app/form_widgets.h"
#include "assist/credentials.h"

namespace quellbo::assist {

namespace {

// One profile for the run, kept on disk so that a login with "记住COOKIE"
// ticked survives a restart. Made on first use: creating it starts the engine.
QWebEngineProfile* browserProfile() {
  static QPointer<QWebEngineProfile> profile;
  if (!profile) profile = new QWebEngineProfile(QStringLiteral("quellbo"), QCoreApplication::instance());
  return profile;
}

}  // namespace

void registerCredentialsWindow(platform::QtServices& services) {
  services.setWindowFactory(platform::Form::Credentials, [] { return new CredentialsWindow; });
}

CredentialsWindow::CredentialsWindow() : FormWindow(platform::Form::Credentials) {
  const app::FormSpec& form = app::credentialsForm();
  buildForm(*this, form);
  for (const app::ControlSpec& design : form.controls) {
    if (Text(design.kind) != app::kBrowser) continue;
    m_browser = new QWebEngineView(this);
    // The page is the view's child, so it never outlives the profile's users.
    m_browser->setPage(new QWebEnginePage(browserProfile(), m_browser));
    m_browser->setObjectName(platform::toQString(design.name));
    m_browser->setGeometry(design.x, design.y, design.width, design.height);
    addControl(m_browser, design.kind);
  }
  if (m_browser == nullptr) return;
  // Fires for error pages too, as a document is shown either way.
  connect(m_browser, &QWebEngineView::loadFinished, this,
          [] { FormWindow::runHandler([] { onBrowserDocumentReady(0); }); });
}

void CredentialsWindow::created() { onCredentialsWindowCreated(); }

void CredentialsWindow::navigate(const Text& url) {
  if (m_browser != nullptr) m_browser->setUrl(QUrl(platform::toQString(url)));
}

}  // namespace quellbo::assist
