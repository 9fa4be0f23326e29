#pragma once

#include <QFont>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/desktop.h"
#include "platform/services.h"

class QCloseEvent;

namespace quellbo::platform {

struct ClipboardWatch;

// Text <-> QString, always through the encodings module.
QString toQString(const Text& text);
Text fromQString(const QString& text);

// The font every window and box uses; it has the Chinese glyphs.
QFont programFont();

// A window of one of the program's forms. Its controls are descendants whose
// object names are the form's control names; each is registered with its kind
// so that findControls can list them in form order.
class FormWindow : public QWidget {
  Q_OBJECT

 public:
  explicit FormWindow(Form form, QWidget* parent = nullptr);

  Form form() const { return m_form; }
  bool isClosing() const { return m_closing; }

  // Appends a control, already named and placed, to the form order.
  void addControl(QWidget* control, const Text& kind);
  // Names of the controls of a kind, in form order.
  TextList controlNames(const Text& kind) const;

  // Runs a handler of a form window (a click, the created handler). A window
  // closed while handlers run, inside their waits, is destroyed only once the
  // outermost of them has returned, so none runs on in a window that is gone.
  static void runHandler(const std::function<void()>& handler);

  // Runs once the window is shown, before it takes any input.
  virtual void created() {}
  // Runs when the window is about to be destroyed, while its controls exist.
  virtual void destroying() {}
  // Windows with a browser control navigate it; others ignore it.
  virtual void navigate(const Text& url);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  struct Control {
    QPointer<QWidget> widget;
    Text kind;
  };
  Form m_form;
  bool m_closing = false;
  std::vector<Control> m_controls;
};

// The platform services on Qt Widgets, with the desktop primitives of the
// running session. Needs a QApplication that outlives it.
class QtServices : public Services {
 public:
  // Makes a new window of a form; openWindow shows it.
  using WindowFactory = std::function<FormWindow*()>;

  QtServices();
  ~QtServices() override;
  QtServices(const QtServices&) = delete;
  QtServices& operator=(const QtServices&) = delete;

  // A form whose factory is not set cannot be opened by openWindow (the
  // credentials window installs its own when it is built).
  void setWindowFactory(Form form, WindowFactory factory);
  // Shows window as the window of its form and runs its created handler.
  void showWindow(FormWindow* window, bool modal);
  // The form's window while it exists, else nullptr.
  FormWindow* window(Form form) const;

  Text readControlText(Form form, const Text& control) override;
  void writeControlText(Form form, const Text& control, const Text& text) override;
  TextList findControls(Form form, const Text& kind) override;
  void setControlSize(Form form, const Text& control, Size size) override;
  Size clientSize(Form form) override;
  void maximizeWindow(Form form) override;

  int showMessage(const Text& content, int buttons, const Text& title) override;
  void openWindow(Form form, bool modal) override;
  void closeWindow(Form form) override;
  bool isWindowOpen(Form form) override;
  void processEvents() override;

  Text getClipboardText() override;
  void setClipboardText(const Text& text) override;
  void clearClipboard() override;
  Text browseForFolder(const Text& prompt) override;
  void openUrl(const Text& url) override;
  void navigateBrowser(Form form, const Text& url) override;

  // Created on first use; nullptr when the session has no desktop to drive.
  Desktop* desktop() override;
  bool waitForClipboardFetch(int limitMs) override;

  std::uint64_t uptimeMs() override;
  void sleepMs(int ms) override;

 private:
  QWidget* control(Form form, const Text& name) const;

  std::map<Form, QPointer<FormWindow>> m_windows;
  std::map<Form, WindowFactory> m_factories;
  std::unique_ptr<Desktop> m_desktop;
  bool m_desktopTried = false;
  // Shared with the clipboard content we serve, which may outlive us.
  std::shared_ptr<ClipboardWatch> m_clipboard;
};

}  // namespace quellbo::platform
