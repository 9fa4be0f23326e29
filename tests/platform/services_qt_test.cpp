#include "platform/services_qt.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <vector>

#include "app/main_window.h"
#include "app/wait.h"
#include "net/encodings.h"
#include "tests/support/qt_application.h"
#include "tests/support/temp_dir.h"

namespace quellbo::platform {
namespace {

using Clock = std::chrono::steady_clock;

long long msSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Runs act on the first visible top-level widget of type W once it shows up
// (inside whatever modal loop the code under test runs). A box that never
// shows, or an act that does not close it, fails the test instead of hanging it.
template <typename W>
void whenShown(std::function<void(W&)> act) {
  auto* poll = new QTimer;
  const auto start = Clock::now();
  QObject::connect(poll, &QTimer::timeout, [poll, act, start] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* target = qobject_cast<W*>(w);
      if (target == nullptr || !target->isVisible()) continue;
      poll->deleteLater();
      poll->stop();
      act(*target);
      if (target->isVisible()) {
        ADD_FAILURE() << "the window was left open";
        target->close();
      }
      return;
    }
    if (msSince(start) > 5000) {
      ADD_FAILURE() << "no window showed up";
      poll->stop();
      poll->deleteLater();
    }
  });
  poll->start(10);
}

class QtServicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::startQtApplication(test::QtDisplay::Offscreen));
    installServices(&m_services);
  }
  void TearDown() override {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (qobject_cast<FormWindow*>(w) != nullptr) delete w;
    }
    installServices(nullptr);
  }

  // The main window with handlers of the test's own.
  app::MainWindow* showMainWindow(app::MainWindow::Events events = {}) {
    auto* window = new app::MainWindow(std::move(events));
    m_services.showWindow(window, false);
    return window;
  }

  QtServices m_services;
};

TEST_F(QtServicesTest, WaitLastsItsCountAndRunsAClickQueuedMeanwhile) {
  QPushButton button;
  button.resize(80, 30);
  button.show();
  long long clickedAtMs = -1;
  const auto start = Clock::now();
  QObject::connect(&button, &QPushButton::clicked, [&] { clickedAtMs = msSince(start); });
  // A real press and release arrive as queued events during the wait.
  QTimer::singleShot(300, &button, [&button] {
    const QPointF at(10, 10);
    QCoreApplication::postEvent(&button, new QMouseEvent(QEvent::MouseButtonPress, at, button.mapToGlobal(at),
                                                         Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(&button, new QMouseEvent(QEvent::MouseButtonRelease, at, button.mapToGlobal(at),
                                                         Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
  });

  app::waitMs(1000);

  EXPECT_GE(msSince(start), 1000);
  EXPECT_GE(clickedAtMs, 300) << "the click's handler ran before waitMs returned";
}

TEST_F(QtServicesTest, WaitOfZeroHandlesPendingEventsOnce) {
  bool ran = false;
  QTimer::singleShot(0, [&ran] { ran = true; });
  const auto start = Clock::now();
  app::waitMs(0);
  EXPECT_TRUE(ran);
  EXPECT_LT(msSince(start), 500);
}

TEST_F(QtServicesTest, MessageBoxesAreTaskModalAndAnswerLikeTheirButtons) {
  struct Case {
    int buttons;
    QMessageBox::StandardButton press;  // NoButton: closed with Escape
    int answer;
  };
  const Case cases[] = {
      {kButtonsOk, QMessageBox::Ok, kAnswerOk},
      {kButtonsOk, QMessageBox::NoButton, kAnswerOk},
      {kButtonsOkCancel, QMessageBox::Ok, kAnswerOk},
      {kButtonsOkCancel, QMessageBox::Cancel, kAnswerCancel},
      {kButtonsOkCancel, QMessageBox::NoButton, kAnswerCancel},
      {4, QMessageBox::Yes, 5},
      {4, QMessageBox::No, 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "buttons " << c.buttons << ", press " << c.press);
    QString title;
    QString text;
    Qt::WindowModality modality = Qt::NonModal;
    whenShown<QMessageBox>([&](QMessageBox& box) {
      title = box.windowTitle();
      text = box.text();
      modality = box.windowModality();
      if (c.press == QMessageBox::NoButton) {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&box, &escape);
        return;
      }
      ASSERT_NE(box.button(c.press), nullptr);
      box.button(c.press)->click();
    });
    EXPECT_EQ(showMessage("请确认<b>转换</b>\r\n第二行", c.buttons), c.answer);
    EXPECT_EQ(title, QStringLiteral(u"信息："));
    // Plain text, never markup; CR LF shown as a line break.
    EXPECT_EQ(text, QStringLiteral(u"请确认<b>转换</b>\n第二行"));
    EXPECT_EQ(modality, Qt::ApplicationModal);
  }
}

TEST_F(QtServicesTest, MessageBoxesShowBooleansNumbersAndTheirTitle) {
  struct Case {
    std::function<int()> show;
    QString text;
    QString title;
  };
  const Case cases[] = {
      {[] { return showMessage(true); }, QStringLiteral(u"真"), QStringLiteral(u"信息：")},
      {[] { return showMessage(false); }, QStringLiteral(u"假"), QStringLiteral(u"信息：")},
      {[] { return showMessage(-42LL); }, QStringLiteral(u"-42"), QStringLiteral(u"信息：")},
      {[] { return showMessage("有新版本", kButtonsOk, "提示"); }, QStringLiteral(u"有新版本"),
       QStringLiteral(u"提示")},
  };
  for (const Case& c : cases) {
    QString text;
    QString title;
    QString okCaption;
    whenShown<QMessageBox>([&](QMessageBox& box) {
      text = box.text();
      title = box.windowTitle();
      okCaption = box.button(QMessageBox::Ok)->text();
      box.button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(c.show(), kAnswerOk);
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(title, c.title);
    EXPECT_EQ(okCaption, QStringLiteral(u"确定"));
  }
}

TEST_F(QtServicesTest, CloseIsQueuedAndTheDestroyingHandlerSeesTheControls) {
  struct Seen {
    int calls = 0;
    bool openDuringHandler = true;
    Text input;
  };
  Seen seen;
  QPointer<app::MainWindow> window = showMainWindow({{}, [&seen] {
                                                       ++seen.calls;
                                                       seen.openDuringHandler = isWindowOpen(Form::Main);
                                                       seen.input = readControlText(Form::Main, "编辑框1");
                                                     }});
  writeControlText(Form::Main, "编辑框1", "待转换");
  EXPECT_TRUE(isWindowOpen(Form::Main));

  closeWindow(Form::Main);
  closeWindow(Form::Main);  // asked twice, handled once
  EXPECT_TRUE(isWindowOpen(Form::Main)) << "the close waits for the current handler to return";
  EXPECT_EQ(seen.calls, 0);

  processEvents();
  EXPECT_EQ(seen.calls, 1);
  EXPECT_FALSE(seen.openDuringHandler);
  EXPECT_EQ(seen.input, "待转换");
  EXPECT_FALSE(isWindowOpen(Form::Main));
  EXPECT_EQ(readControlText(Form::Main, "编辑框1"), "待转换") << "the controls live until the window goes";

  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
  EXPECT_EQ(seen.calls, 1);
  EXPECT_EQ(readControlText(Form::Main, "编辑框1"), "");
}

TEST_F(QtServicesTest, CloseAskedByTheCreatedHandlerWaitsForItsEnd) {
  // As the update check does: ask to close, then the rest of start-up runs.
  Text storedAtClose;
  showMainWindow({[] {
                    closeWindow(Form::Main);
                    writeControlText(Form::Main, "编辑框3", "恢复的appkey");
                  },
                  [&storedAtClose] { storedAtClose = readControlText(Form::Main, "编辑框3"); }});
  EXPECT_TRUE(isWindowOpen(Form::Main));
  EXPECT_EQ(storedAtClose, "");
  processEvents();
  EXPECT_FALSE(isWindowOpen(Form::Main));
  EXPECT_EQ(storedAtClose, "恢复的appkey");
}

TEST_F(QtServicesTest, WindowClosedDuringAHandlersWaitGoesOnlyAfterTheHandler) {
  // As when the user closes the window while a click handler waits.
  QPointer<app::MainWindow> window = showMainWindow();
  // A button of the test's own: the form's buttons run the program's handlers.
  auto* button = new QPushButton(window);
  button->setGeometry(0, 0, 40, 20);
  button->show();
  bool existedAfterWait = false;
  bool openAfterWait = true;
  Text readAfterWait;
  QObject::connect(button, &QPushButton::clicked, [&] {
    FormWindow::runHandler([&] {
      QTimer::singleShot(20, window, [&window] { window->close(); });
      app::waitMs(200);
      existedAfterWait = !window.isNull();
      openAfterWait = isWindowOpen(Form::Main);
      writeControlText(Form::Main, "编辑框1", "仍可写");
      readAfterWait = readControlText(Form::Main, "编辑框1");
    });
  });
  const QPointF at(10, 10);
  QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonPress, at, button->mapToGlobal(at),
                                                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
  QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonRelease, at, button->mapToGlobal(at),
                                                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
  processEvents();

  EXPECT_TRUE(existedAfterWait) << "the window outlives the handler that runs in it";
  EXPECT_FALSE(openAfterWait);
  EXPECT_EQ(readAfterWait, "仍可写");
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull()) << "and goes once the handler has returned";
}

// A form window that records what the services ask of it, as the credentials
// window will be.
class RecordingWindow : public FormWindow {
 public:
  RecordingWindow() : FormWindow(Form::Credentials) { resize(718, 427); }
  void created() override { ++createdCalls; }
  void navigate(const Text& url) override { navigations.push_back(url); }
  int createdCalls = 0;
  TextList navigations;
};

TEST_F(QtServicesTest, FormsOpenThroughTheirFactoryOnce) {
  m_services.openWindow(Form::Credentials, true);
  EXPECT_FALSE(isWindowOpen(Form::Credentials)) << "no factory, no window";

  int made = 0;
  m_services.setWindowFactory(Form::Credentials, [&made] {
    ++made;
    return new RecordingWindow;
  });
  m_services.openWindow(Form::Credentials, true);
  m_services.openWindow(Form::Credentials, true);
  EXPECT_EQ(made, 1) << "an open window is brought forward, not made twice";
  auto* window = dynamic_cast<RecordingWindow*>(m_services.window(Form::Credentials));
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(isWindowOpen(Form::Credentials));
  EXPECT_EQ(window->createdCalls, 1);
  EXPECT_EQ(window->windowModality(), Qt::ApplicationModal);

  m_services.navigateBrowser(Form::Credentials, "http://www.quellbo.example/user/user_login.html");
  EXPECT_EQ(window->navigations, TextList{"http://www.quellbo.example/user/user_login.html"});

  m_services.maximizeWindow(Form::Credentials);
  EXPECT_TRUE(window->isMaximized());
}

TEST_F(QtServicesTest, ClipboardRoundTripUsesTheDesktopsLineBreaks) {
  const Text text = "【淘口令】￥AbCd1234￥\r\n第二行";
  setClipboardText(text);
  EXPECT_EQ(getClipboardText(), text);
  // Another program sees LF line breaks, as is usual on this desktop.
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral(u"【淘口令】￥AbCd1234￥\n第二行"));

  QGuiApplication::clipboard()->setText(QStringLiteral(u"appkey\n123"));
  EXPECT_EQ(getClipboardText(), "appkey\r\n123");

  clearClipboard();
  EXPECT_EQ(getClipboardText(), "");
}

TEST_F(QtServicesTest, ClipboardFetchIsAwaitedUntilSomeoneReadsIt) {
  setClipboardText("发单内容");
  EXPECT_EQ(getClipboardText(), "发单内容");  // our own read is no fetch
  auto start = Clock::now();
  EXPECT_FALSE(m_services.waitForClipboardFetch(200));
  EXPECT_GE(msSince(start), 200);

  // A paste in another program reads the data we serve.
  QString pasted;
  QTimer::singleShot(100, [&pasted] { pasted = QGuiApplication::clipboard()->mimeData()->text(); });
  start = Clock::now();
  EXPECT_TRUE(m_services.waitForClipboardFetch(5000));
  EXPECT_LT(msSince(start), 4000);
  EXPECT_EQ(pasted, QStringLiteral(u"发单内容"));

  setClipboardText("下一条");  // a new text waits for its own fetch
  EXPECT_FALSE(m_services.waitForClipboardFetch(0));
}

TEST_F(QtServicesTest, FolderDialogGivesTheChosenFolderOrNothing) {
  test::TempDir dir;
  const std::filesystem::path folder = std::filesystem::path(dir.path()) / "\xE9\x85\xB7Q";  // 酷Q
  std::filesystem::create_directory(folder);
  const QString folderPath = QString::fromStdString(folder.string());

  QString caption;
  whenShown<QFileDialog>([&](QFileDialog& dialog) {
    caption = dialog.windowTitle();
    EXPECT_NE(dialog.findChild<QLineEdit*>(), nullptr) << "a path can be typed in";
    dialog.setDirectory(QFileInfo(folderPath).path());
    dialog.selectFile(folderPath);
    static_cast<QDialog&>(dialog).accept();
  });
  EXPECT_EQ(browseForFolder("请选择插件目录"), dir.fileText("酷Q"));
  EXPECT_EQ(caption, QStringLiteral(u"请选择插件目录"));

  whenShown<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
  EXPECT_EQ(browseForFolder("请选择插件目录"), "");
}

// Takes the addresses the services open, in place of a browser.
class UrlCatcher : public QObject {
  Q_OBJECT

 public:
  std::vector<QUrl> urls;

 public slots:
  void open(const QUrl& url) { urls.push_back(url); }
};

TEST_F(QtServicesTest, OpenUrlHandsTheAddressToTheDesktop) {
  UrlCatcher catcher;
  QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
  openUrl("https://pan.quellbo.example/s/酷Q?from=工具");
  QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
  ASSERT_EQ(catcher.urls.size(), 1u);
  EXPECT_EQ(catcher.urls[0].host(), QStringLiteral("pan.quellbo.example"));
  EXPECT_EQ(catcher.urls[0].path(), QStringLiteral(u"/s/酷Q"));
  EXPECT_EQ(catcher.urls[0].query(), QStringLiteral(u"from=工具"));
}

TEST_F(QtServicesTest, DesktopPrimitivesDoNothingWithoutADesktop) {
  // Without an X display there is no desktop to drive; nothing may crash.
  const QByteArray display = qgetenv("DISPLAY");
  qunsetenv("DISPLAY");
  QtServices services;
  installServices(&services);
  EXPECT_EQ(services.desktop(), nullptr);
  simulateKeyPress(kKeyControl, kKeyV);
  installServices(&m_services);
  if (!display.isEmpty()) qputenv("DISPLAY", display);
}

}  // namespace
}  // namespace quellbo::platform

#include "services_qt_test.moc"
