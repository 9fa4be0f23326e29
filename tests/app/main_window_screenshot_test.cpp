#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QWindow>
#include <chrono>
#include <thread>

#include "app/main_window.h"
#include "app/wait.h"
#include "platform/services_qt.h"
#include "tests/support/qt_application.h"

namespace quellbo::app {
namespace {

using platform::Form;

// Handles events until ready() holds, for at most limitMs.
template <typename Ready>
bool waitFor(Ready ready, int limitMs) {
  const auto start = std::chrono::steady_clock::now();
  while (!ready()) {
    if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(limitMs)) return false;
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

QString captionOf(QWidget* w) {
  if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
  if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
  if (auto* group = qobject_cast<QGroupBox*>(w)) return group->title();
  return {};
}

// Opens the real window on the X display that tools/with-xvfb.sh provides and
// keeps a picture of it in the build folder's test-artifacts, for a person to
// look at.
TEST(MainWindowScreenshotTest, ShowsTheWindowWithReadableCaptions) {
  ASSERT_TRUE(test::startQtApplication(test::QtDisplay::X11)) << "needs an X display: run under tools/with-xvfb.sh";
  platform::QtServices services;
  platform::installServices(&services);
  QPointer<MainWindow> window = new MainWindow(MainWindow::Events{});
  services.showWindow(window, false);
  ASSERT_TRUE(waitFor([&] { return window->windowHandle()->isExposed(); }, 5000));
  waitMs(500);  // let the window manager settle and everything paint

  EXPECT_TRUE(services.isWindowOpen(Form::Main));
  EXPECT_EQ(window->frameGeometry().topLeft(), QPoint(50, 50));
  EXPECT_EQ(window->size(), QSize(1062, 657));

  // Every caption is drawn from a font that has all its characters, so none
  // can come out as boxes.
  EXPECT_TRUE(QFontInfo(window->font()).family().contains(QStringLiteral("WenQuanYi")))
      << QFontInfo(window->font()).family().toStdString();
  const QFontMetrics metrics(window->font());
  int captions = 0;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    const QString caption = captionOf(w);
    if (caption.isEmpty() || w->objectName().isEmpty()) continue;
    ++captions;
    for (const char32_t c : caption.toUcs4()) {
      if (c == U'\n') continue;
      EXPECT_TRUE(metrics.inFontUcs4(c)) << w->objectName().toStdString() << ": U+" << std::hex
                                         << static_cast<unsigned>(c);
    }
  }
  EXPECT_GE(captions, 30);

  const QString folder = QStringLiteral(QUELLBO_BINARY_DIR "/test-artifacts");
  ASSERT_TRUE(QDir().mkpath(folder));
  const QPixmap shot = window->screen()->grabWindow(0);
  ASSERT_FALSE(shot.isNull());
  EXPECT_TRUE(shot.save(folder + QStringLiteral("/main_window.png")));
  // What the X server shows in the client area is what the window drew.
  const QImage onScreen = shot.copy(QRect(window->mapToGlobal(QPoint(0, 0)), window->size())).toImage();
  const QImage drawn = window->grab().toImage().convertToFormat(onScreen.format());
  EXPECT_EQ(onScreen, drawn);

  window->close();
  ASSERT_TRUE(waitFor([&] { return window.isNull(); }, 5000));
  EXPECT_FALSE(services.isWindowOpen(Form::Main));
  platform::installServices(nullptr);
}

}  // namespace
}  // namespace quellbo::app
