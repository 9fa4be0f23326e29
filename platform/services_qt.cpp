#include "platform/services_qt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QUrl>
#include <iterator>
#include <string>

#include "net/encodings.h"
#include "platform/clock.h"

namespace quellbo::platform {

// Whether whoever pastes has fetched the text we serve on the clipboard.
struct ClipboardWatch {
  bool fetched = false;
  bool readingOwn = false;  // our own reads do not count as a fetch
};

namespace {

// X11 hands the clipboard over on request, long after we set it; the request
// shows up here as a read of our data.
class WatchedMimeData : public QMimeData {
 public:
  WatchedMimeData(const QString& text, std::shared_ptr<ClipboardWatch> watch) : m_watch(std::move(watch)) {
    setText(text);
  }

 protected:
  QVariant retrieveData(const QString& mimeType, QMetaType type) const override {
    if (!m_watch->readingOwn) m_watch->fetched = true;
    return QMimeData::retrieveData(mimeType, type);
  }

 private:
  std::shared_ptr<ClipboardWatch> m_watch;
};

// The program's texts break lines with CR LF; Qt's widgets and the X11
// clipboard with LF.
QString toLfLines(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

QString toCrLfLines(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
}

// The raw document text keeps what toPlainText would change (no-break
// spaces); blocks are joined by paragraph separators.
QString plainEditText(const QPlainTextEdit& edit) {
  QString text = edit.document()->toRawText();
  text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
  return text;
}

struct ButtonAnswer {
  QMessageBox::StandardButton button;
  int answer;
  const char* caption;
};

constexpr ButtonAnswer kButtonAnswers[] = {
    {QMessageBox::Ok, 0, "确定"},    {QMessageBox::Cancel, 1, "取消"}, {QMessageBox::Abort, 2, "中止"},
    {QMessageBox::Retry, 3, "重试"}, {QMessageBox::Ignore, 4, "忽略"}, {QMessageBox::Yes, 5, "是"},
    {QMessageBox::No, 6, "否"},
};

// The button sets by their codes; an unknown code shows OK alone.
QMessageBox::StandardButtons buttonSet(int buttons) {
  switch (buttons) {
    case kButtonsOkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case 2:
      return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case 3:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case 4:
      return QMessageBox::Yes | QMessageBox::No;
    case 5:
      return QMessageBox::Retry | QMessageBox::Cancel;
    default:
      return QMessageBox::Ok;
  }
}

}  // namespace

QString toQString(const Text& text) {
  const std::u16string utf16 = net::toUtf16(text);
  return QString(reinterpret_cast<const QChar*>(utf16.data()), static_cast<qsizetype>(utf16.size()));
}

Text fromQString(const QString& text) {
  return net::fromUtf16(
      std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
}

QFont programFont() {
  QFont font(QStringLiteral("WenQuanYi Micro Hei"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(12);
  return font;
}

// ---------------------------------------------------------------------------

namespace {
int g_handlerDepth = 0;
std::vector<QPointer<FormWindow>> g_closedDuringHandlers;
}  // namespace

FormWindow::FormWindow(Form form, QWidget* parent) : QWidget(parent), m_form(form) { setFont(programFont()); }

void FormWindow::runHandler(const std::function<void()>& handler) {
  ++g_handlerDepth;
  if (handler) handler();
  if (--g_handlerDepth > 0) return;
  // Posted from here the deletions run when the event loop has control again.
  std::vector<QPointer<FormWindow>> closed;
  closed.swap(g_closedDuringHandlers);
  for (const auto& w : closed) {
    if (w) w->deleteLater();
  }
}

void FormWindow::addControl(QWidget* control, const Text& kind) {
  if (control == nullptr) return;
  m_controls.push_back({control, kind});
}

TextList FormWindow::controlNames(const Text& kind) const {
  TextList names;
  for (const auto& c : m_controls) {
    if (c.widget && c.kind == kind) names.push_back(fromQString(c.widget->objectName()));
  }
  return names;
}

void FormWindow::navigate(const Text&) {}

void FormWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  // A second close while the first is still running must not store twice.
  if (m_closing) return;
  m_closing = true;
  runHandler([this] { destroying(); });
  if (g_handlerDepth > 0) {
    g_closedDuringHandlers.emplace_back(this);
    return;
  }
  deleteLater();
}

// ---------------------------------------------------------------------------

QtServices::QtServices() : m_clipboard(std::make_shared<ClipboardWatch>()) { QApplication::setFont(programFont()); }

QtServices::~QtServices() = default;

void QtServices::setWindowFactory(Form form, WindowFactory factory) { m_factories[form] = std::move(factory); }

void QtServices::showWindow(FormWindow* window, bool modal) {
  if (window == nullptr) return;
  m_windows[window->form()] = window;
  if (modal) window->setWindowModality(Qt::ApplicationModal);
  window->show();
  FormWindow::runHandler([window] { window->created(); });
}

FormWindow* QtServices::window(Form form) const {
  const auto it = m_windows.find(form);
  return it == m_windows.end() ? nullptr : it->second.data();
}

QWidget* QtServices::control(Form form, const Text& name) const {
  FormWindow* w = window(form);
  if (w == nullptr || name.empty()) return nullptr;
  return w->findChild<QWidget*>(toQString(name));
}

Text QtServices::readControlText(Form form, const Text& name) {
  QWidget* c = control(form, name);
  if (auto* edit = qobject_cast<QPlainTextEdit*>(c)) return fromQString(plainEditText(*edit));
  if (auto* edit = qobject_cast<QLineEdit*>(c)) return fromQString(edit->text());
  if (auto* label = qobject_cast<QLabel*>(c)) return fromQString(toCrLfLines(label->text()));
  if (auto* button = qobject_cast<QAbstractButton*>(c)) return fromQString(toCrLfLines(button->text()));
  if (auto* group = qobject_cast<QGroupBox*>(c)) return fromQString(group->title());
  return {};
}

void QtServices::writeControlText(Form form, const Text& name, const Text& text) {
  QWidget* c = control(form, name);
  const QString value = toQString(text);
  if (auto* edit = qobject_cast<QPlainTextEdit*>(c)) return edit->setPlainText(toLfLines(value));
  if (auto* edit = qobject_cast<QLineEdit*>(c)) {
    edit->setText(value);
    edit->setCursorPosition(0);  // show the start, as after typing it in
    return;
  }
  if (auto* label = qobject_cast<QLabel*>(c)) return label->setText(toLfLines(value));
  if (auto* button = qobject_cast<QAbstractButton*>(c)) return button->setText(toLfLines(value));
  if (auto* group = qobject_cast<QGroupBox*>(c)) return group->setTitle(value);
}

TextList QtServices::findControls(Form form, const Text& kind) {
  FormWindow* w = window(form);
  return w == nullptr ? TextList{} : w->controlNames(kind);
}

void QtServices::setControlSize(Form form, const Text& name, Size size) {
  if (QWidget* c = control(form, name)) c->resize(size.width, size.height);
}

Size QtServices::clientSize(Form form) {
  FormWindow* w = window(form);
  if (w == nullptr) return {};
  return {w->width(), w->height()};
}

void QtServices::maximizeWindow(Form form) {
  if (FormWindow* w = window(form)) w->showMaximized();
}

int QtServices::showMessage(const Text& content, int buttons, const Text& title) {
  QMessageBox box;
  box.setWindowTitle(toQString(title));
  // A deal text that looks like markup is still shown as it is.
  box.setTextFormat(Qt::PlainText);
  box.setText(toLfLines(toQString(content)));
  box.setWindowModality(Qt::ApplicationModal);
  box.setStandardButtons(buttonSet(buttons));
  for (const auto& b : kButtonAnswers) {
    if (QAbstractButton* button = box.button(b.button)) button->setText(toQString(b.caption));
  }
  box.exec();
  const QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
  for (const auto& b : kButtonAnswers) {
    if (b.button == clicked) return b.answer;
  }
  return buttons == kButtonsOk ? kAnswerOk : kAnswerCancel;
}

void QtServices::openWindow(Form form, bool modal) {
  if (FormWindow* w = window(form); w != nullptr && isWindowOpen(form)) {
    w->raise();
    w->activateWindow();
    return;
  }
  const auto it = m_factories.find(form);
  if (it == m_factories.end() || !it->second) return;
  showWindow(it->second(), modal);
}

void QtServices::closeWindow(Form form) {
  FormWindow* w = window(form);
  if (w == nullptr) return;
  // Queued, so the handler that asks finishes before the window goes.
  QMetaObject::invokeMethod(
      w, [w] { w->close(); }, Qt::QueuedConnection);
}

bool QtServices::isWindowOpen(Form form) {
  FormWindow* w = window(form);
  return w != nullptr && w->isVisible() && !w->isClosing();
}

void QtServices::processEvents() { QCoreApplication::processEvents(); }

Text QtServices::getClipboardText() {
  m_clipboard->readingOwn = true;
  const QString text = QGuiApplication::clipboard()->text();
  m_clipboard->readingOwn = false;
  return fromQString(toCrLfLines(text));
}

void QtServices::setClipboardText(const Text& text) {
  m_clipboard->fetched = false;
  QGuiApplication::clipboard()->setMimeData(new WatchedMimeData(toLfLines(toQString(text)), m_clipboard));
}

void QtServices::clearClipboard() {
  m_clipboard->fetched = false;
  QGuiApplication::clipboard()->clear();
}

Text QtServices::browseForFolder(const Text& prompt) {
  // Qt's own dialog has the edit field for typing a path.
  const QString folder =
      QFileDialog::getExistingDirectory(QApplication::activeWindow(), toQString(prompt), QString(),
                                        QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
  return fromQString(folder);
}

void QtServices::openUrl(const Text& url) { QDesktopServices::openUrl(QUrl(toQString(url))); }

void QtServices::navigateBrowser(Form form, const Text& url) {
  if (FormWindow* w = window(form)) w->navigate(url);
}

Desktop* QtServices::desktop() {
  if (!m_desktopTried) {
    m_desktopTried = true;
    m_desktop = createDesktop();
  }
  return m_desktop.get();
}

bool QtServices::waitForClipboardFetch(int limitMs) {
  const std::uint64_t limit = limitMs < 0 ? 0 : static_cast<std::uint64_t>(limitMs);
  const std::uint64_t start = systemUptimeMs();
  for (;;) {
    QCoreApplication::processEvents();
    if (m_clipboard->fetched) return true;
    // Whole milliseconds: only a difference past the limit means it has passed.
    if (systemUptimeMs() - start > limit) return false;
    systemSleepMs(1);
  }
}

std::uint64_t QtServices::uptimeMs() { return systemUptimeMs(); }

void QtServices::sleepMs(int ms) { systemSleepMs(ms < 0 ? 0 : ms); }

}  // namespace quellbo::platform
