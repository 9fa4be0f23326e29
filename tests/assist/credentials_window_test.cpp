#include "assist/credentials_window.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/main_window.h"
#include "app/remote_addresses.h"
#include "assist/browser_engine.h"
#include "platform/ini_file.h"
#include "tests/support/qt_application.h"
#include "tests/support/standin_server.h"
#include "tests/support/temp_dir.h"

namespace quellbo::assist {
namespace {

using Clock = std::chrono::steady_clock;
using platform::Form;
using platform::fromQString;
using platform::toQString;

// The engine's first start on a busy machine takes a few seconds.
constexpr int kLoadLimitMs = 30000;

// Handles events until done() holds or limitMs has passed; returns done().
bool spinUntil(const std::function<bool()>& done, int limitMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(limitMs);
  while (!done()) {
    if (Clock::now() > deadline) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

// Direct children of this process that run the browser engine.
int engineChildren() {
  int count = 0;
  const std::string self = std::to_string(getpid());
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::ifstream status(entry.path() / "status");
    std::string line;
    std::string name;
    std::string parent;
    while (std::getline(status, line)) {
      if (line.rfind("Name:", 0) == 0) name = line.substr(line.find_first_not_of(" \t", 5));
      if (line.rfind("PPid:", 0) == 0) parent = line.substr(line.find_first_not_of(" \t", 5));
    }
    if (parent == self && name.rfind("QtWebEngine", 0) == 0) ++count;
  }
  return count;
}

// One message box the handler under test is expected to show: how to answer
// it, and what to do right after (the user's next move).
struct BoxStep {
  QMessageBox::StandardButton press;
  std::function<void()> then;
};

// Answers the program's message boxes in turn as they show up, recording
// their texts. A box beyond the script is answered with OK and recorded too.
class BoxScript {
 public:
  explicit BoxScript(std::vector<BoxStep> steps) : m_steps(std::move(steps)) {
    QObject::connect(&m_poll, &QTimer::timeout, [this] { poll(); });
    m_poll.start(20);
  }
  const std::vector<Text>& texts() const { return m_texts; }

 private:
  void poll() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* box = qobject_cast<QMessageBox*>(w);
      if (box == nullptr || !box->isVisible() || box == m_answered) continue;
      m_answered = box;
      m_texts.push_back(fromQString(box->text()));
      const std::size_t step = m_texts.size() - 1;
      const BoxStep next = step < m_steps.size() ? m_steps[step] : BoxStep{QMessageBox::Ok, nullptr};
      QAbstractButton* button = box->button(next.press);
      if (button == nullptr) {
        ADD_FAILURE() << "the box has not the expected button: " << box->text().toStdString();
        box->close();
        return;
      }
      button->click();
      if (next.then) next.then();
      return;
    }
  }

  std::vector<BoxStep> m_steps;
  std::vector<Text> m_texts;
  QPointer<QMessageBox> m_answered;
  QTimer m_poll;
};

// Records whether a window is blocked by a modal one.
class BlockWatch : public QObject {
 public:
  bool blocked = false;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::WindowBlocked) blocked = true;
    if (event->type() == QEvent::WindowUnblocked) blocked = false;
    return false;
  }
};

class CredentialsWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // The engine keeps its profile below the data and cache folders.
    s_home = new test::TempDir;
    setenv("XDG_DATA_HOME", s_home->file("data").c_str(), 1);
    setenv("XDG_CACHE_HOME", s_home->file("cache").c_str(), 1);
    prepareBrowserEngine();
    s_display = test::startQtApplication(test::QtDisplay::X11);
  }
  static void TearDownTestSuite() {
    // The engine writes the profile out when it goes; its folder can go after.
    for (QWebEngineProfile* profile : QCoreApplication::instance()->findChildren<QWebEngineProfile*>()) delete profile;
    delete s_home;
    s_home = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(s_display) << "needs an X display: run under tools/with-xvfb.sh";
    ASSERT_TRUE(m_server.running());
    const Text settings = m_dir.fileText("setsoft.ini");
    ASSERT_TRUE(platform::writeIniValue(settings, app::kServiceSection, "网站", m_server.baseUrl()));
    app::loadRemoteAddresses(settings);

    platform::installServices(&m_services);
    m_services.setWindowFactory(Form::Main, [] { return new app::MainWindow(app::MainWindow::Events{}); });
    registerCredentialsWindow(m_services);
    m_services.openWindow(Form::Main, false);
    m_main = m_services.window(Form::Main);
    ASSERT_NE(m_main, nullptr);
    m_main->installEventFilter(&m_blockWatch);
  }

  void TearDown() override {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (qobject_cast<platform::FormWindow*>(w) != nullptr) delete w;
    }
    platform::installServices(nullptr);
  }

  void click(Form form, const char* button) {
    platform::FormWindow* window = m_services.window(form);
    ASSERT_NE(window, nullptr);
    auto* b = window->findChild<QPushButton*>(toQString(button));
    ASSERT_NE(b, nullptr) << button;
    b->click();
  }

  // Opens the assistant with the main window's button; from then on every
  // page the browser has finished loading is recorded.
  CredentialsWindow* openAssistant() {
    click(Form::Main, "按钮3");
    auto* window = qobject_cast<CredentialsWindow*>(m_services.window(Form::Credentials));
    if (window == nullptr || window->browser() == nullptr) return nullptr;
    QWebEngineView* view = window->browser();
    QObject::connect(view, &QWebEngineView::loadFinished, view,
                     [this, view] { m_loaded.push_back(view->url().path().toStdString()); });
    return window;
  }

  // Waits until a page with that path has finished loading after the
  // first `since` recorded pages.
  bool waitForPage(const std::string& path, std::size_t since = 0) {
    return spinUntil(
        [&] {
          for (std::size_t i = since; i < m_loaded.size(); ++i) {
            if (m_loaded[i] == path) return true;
          }
          return false;
        },
        kLoadLimitMs);
  }

  bool serverSaw(const char* path) const {
    return m_server.requestsJson().find(std::string("\"path\":\"") + path + "\"") != std::string::npos;
  }

  // The user selects the element's text on the page and copies it, once the
  // page has loaded after the first `since` recorded pages.
  void copyFromPage(CredentialsWindow* window, const std::string& path, const char* elementId, std::size_t since) {
    auto* poll = new QTimer(window);
    QPointer<QWebEngineView> view = window->browser();
    const QString script = QStringLiteral(
                               "(function(){var e=document.getElementById('%1');if(!e)return false;"
                               "var r=document.createRange();r.selectNodeContents(e);var s=window.getSelection();"
                               "s.removeAllRanges();s.addRange(r);return true;})()")
                               .arg(QString::fromLatin1(elementId));
    QObject::connect(poll, &QTimer::timeout, [this, poll, view, path, script, since] {
      bool loaded = false;
      for (std::size_t i = since; i < m_loaded.size(); ++i) loaded = loaded || m_loaded[i] == path;
      if (!loaded || !view) return;
      poll->stop();
      poll->deleteLater();
      view->page()->runJavaScript(script, [view](const QVariant& selected) {
        if (!view || !selected.toBool()) return;
        // As after the user's click into the page: the copy acts on the focused page.
        view->setFocus();
        view->page()->triggerAction(QWebEnginePage::Copy);
      });
    });
    poll->start(50);
  }

  inline static test::TempDir* s_home = nullptr;
  inline static bool s_display = false;

  test::StandinServer m_server;
  test::TempDir m_dir;
  platform::QtServices m_services;
  platform::FormWindow* m_main = nullptr;
  BlockWatch m_blockWatch;
  std::vector<std::string> m_loaded;
};

TEST_F(CredentialsWindowTest, OpensModallyOnTheRegistrationPageAndStartsTheEngineOnlyThen) {
  EXPECT_EQ(engineChildren(), 0) << "the main window runs without the browser engine";
  EXPECT_TRUE(QCoreApplication::instance()->findChildren<QWebEngineProfile*>().isEmpty());

  CredentialsWindow* window = openAssistant();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->browser()->objectName(), toQString("超文本浏览框1"));
  EXPECT_EQ(window->browser()->geometry(), QRect(0, 40, 336, 176)) << "the design place until a page is ready";
  EXPECT_TRUE(window->windowTitle().isEmpty());
  EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
  EXPECT_EQ(window->windowModality(), Qt::ApplicationModal);
  EXPECT_TRUE(spinUntil([this] { return m_blockWatch.blocked; }, 5000)) << "the main window takes no input";

  ASSERT_TRUE(waitForPage("/user/user_register.html"));
  EXPECT_TRUE(serverSaw("/user/user_register.html")) << m_server.requestsJson();
  EXPECT_GT(engineChildren(), 0);

  window->close();
  EXPECT_TRUE(spinUntil([this] { return !m_blockWatch.blocked; }, 5000)) << "closing it frees the main window";
  EXPECT_FALSE(m_services.isWindowOpen(Form::Credentials));
}

TEST_F(CredentialsWindowTest, LoginShowsTheReminderAndEveryPageFitsTheBrowserToTheWindow) {
  CredentialsWindow* window = openAssistant();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(waitForPage("/user/user_register.html"));
  // The maximized size, once the window manager has given it.
  ASSERT_TRUE(spinUntil([window] { return window->browser()->width() == window->width(); }, 5000));

  BoxScript boxes({{QMessageBox::Ok, nullptr}});
  std::size_t mark = m_loaded.size();
  click(Form::Credentials, "按钮1");
  EXPECT_EQ(boxes.texts(), std::vector<Text>{"记得勾选【记住COOKIE】"});
  ASSERT_TRUE(waitForPage("/user/user_login.html", mark));
  EXPECT_TRUE(serverSaw("/user/user_login.html")) << m_server.requestsJson();

  // A smaller window keeps its browser until the next page is ready.
  window->showNormal();
  window->resize(600, 400);
  ASSERT_TRUE(spinUntil([window] { return window->width() == 600 && window->height() == 400; }, 5000));
  EXPECT_NE(window->browser()->width(), 600);
  mark = m_loaded.size();
  window->browser()->reload();
  ASSERT_TRUE(waitForPage("/user/user_login.html", mark));
  EXPECT_EQ(window->browser()->geometry(), QRect(0, 40, 600, 400)) << "client size; the top stays at 40";
}

TEST_F(CredentialsWindowTest, AppkeyCopiedDuringTheWaitIsTakenOnCancel) {
  CredentialsWindow* window = openAssistant();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(waitForPage("/user/user_register.html"));
  QGuiApplication::clipboard()->setText(QStringLiteral("earlier"));

  // The user copies the appkey from its page during the wait.
  const std::size_t mark = m_loaded.size();
  BoxScript boxes({
      {QMessageBox::Ok, [=, this] { copyFromPage(window, "/user/open/open_appkey.aspx", "appkey", mark); }},
      {QMessageBox::Cancel, nullptr},
  });
  const auto start = Clock::now();
  click(Form::Credentials, "按钮2");

  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(5000));
  ASSERT_EQ(boxes.texts().size(), 2u);
  EXPECT_EQ(boxes.texts()[0], "请手动复制appkey内容，5秒后自动弹窗");
  EXPECT_EQ(boxes.texts()[1], "已复制appkey   demo-appkey-0001如弹窗未出现appkey，请点击【确认】，否则请点击【取消】");
  EXPECT_EQ(m_services.readControlText(Form::Main, "编辑框3"), "demo-appkey-0001");
  EXPECT_TRUE(serverSaw("/user/open/open_appkey.aspx")) << m_server.requestsJson();
}

TEST_F(CredentialsWindowTest, OkWaitsAgainAndTakesWhatWasCopiedThen) {
  CredentialsWindow* window = openAssistant();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(waitForPage("/user/user_register.html"));
  QGuiApplication::clipboard()->setText(QStringLiteral("earlier"));

  // Nothing copied during the first wait; the copy comes during the second.
  const std::size_t mark = m_loaded.size();
  BoxScript boxes({
      {QMessageBox::Ok, nullptr},
      {QMessageBox::Ok, [=, this] { copyFromPage(window, "/user/open/open_appkey.aspx", "appkey", mark); }},
      {QMessageBox::Ok, nullptr},
  });
  click(Form::Credentials, "按钮2");

  ASSERT_EQ(boxes.texts().size(), 3u);
  EXPECT_EQ(boxes.texts()[1], "已复制appkey   earlier如弹窗未出现appkey，请点击【确认】，否则请点击【取消】");
  EXPECT_EQ(boxes.texts()[2], "已自动填写至appkey栏");
  EXPECT_EQ(m_services.readControlText(Form::Main, "编辑框3"), "demo-appkey-0001");
}

}  // namespace
}  // namespace quellbo::assist
