#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <filesystem>

#include "app/main_window.h"
#include "app/program_values.h"
#include "app/remote_addresses.h"
#include "app/settings_file.h"
#include "net/encodings.h"
#include "platform/files.h"
#include "platform/ini_file.h"
#include "platform/services_qt.h"
#include "tests/support/qt_application.h"
#include "tests/support/standin_server.h"

namespace quellbo::app {
namespace {

using platform::Form;
using platform::toQString;

// The program's own main window, with its own handlers and its settings file
// beside the test executable, drawn offscreen.
class ProgramWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::startQtApplication(test::QtDisplay::Offscreen));
    ASSERT_TRUE(server.running());
    std::filesystem::remove_all(net::toUtf8(dataFolder()));
    platform::installServices(&services);
  }
  void TearDown() override {
    if (window) delete window.data();
    platform::installServices(nullptr);
    std::filesystem::remove_all(net::toUtf8(dataFolder()));
    loadRemoteAddresses(dataFolder() + "/none.ini");
  }

  static Text dataFolder() { return platform::joinPath(platform::runDirectory(), "data"); }
  // Points the services at the stand-in and turns the update check off.
  void writeServiceSection() const {
    const Text file = settingsPath();
    platform::writeIniValue(file, kServiceSection, "转链接口", Text(server.baseUrl()));
    platform::writeIniValue(file, kServiceSection, "更新服务器", Text(""));
  }
  void open() {
    window = new MainWindow;
    services.showWindow(window, false);
  }
  void closeAndWait() {
    services.closeWindow(Form::Main);
    for (int i = 0; i < 100 && services.isWindowOpen(Form::Main); ++i) QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  Text box(const char* name) { return services.readControlText(Form::Main, name); }
  void click(const char* name) { window->findChild<QPushButton*>(toQString(name))->click(); }

  test::StandinServer server;
  platform::QtServices services;
  QPointer<MainWindow> window;
};

TEST_F(ProgramWindowTest, ClickingConvertPutsTheConvertedTextInTheOutputBox) {
  writeServiceSection();
  open();
  services.writeControlText(Form::Main, "编辑框3", "demo-appkey");
  services.writeControlText(Form::Main, "编辑框4", "123456");
  services.writeControlText(Form::Main, "编辑框5", "mm_1_2_3");
  window->findChild<QPlainTextEdit*>(toQString("编辑框1"))->setPlainText(toQString("好价\n复制￥Ab3dEf5hIj7￥打开"));
  click("按钮1");
  const Text token = programValues().newShareToken;
  ASSERT_FALSE(token.empty());
  EXPECT_EQ(box("编辑框2"), "好价\r\n复制" + token + "打开");
  EXPECT_EQ(box("编辑框8"), "转换完毕");
}

TEST_F(ProgramWindowTest, EveryBoxComesBackAtTheNextStart) {
  writeServiceSection();
  open();
  struct Case {
    const char* box;
    Text typed;
    Text restored;
  };
  const Case cases[] = {
      {"编辑框1", "第一行\r\n第二行 \"引号\"", "第一行\r\n第二行 \"引号\""},
      {"编辑框2", "原文里有><br><标记", "原文里有\r\n标记"},
      {"编辑框13", "pt_key=abc; pt_pin=\"x\"", "pt_key=abc; pt_pin=\"x\""},
      {"编辑框10", "123456", "123456"},
      {"编辑框9", "/plug/【群消息】【123456】.txt", "/plug/【群消息】【123456】.txt"},
      {"编辑框6", "", "%e6%9c%ac%e7%be%a4%e4%b8%93%e9%a1%b9%e4%bc%98%e6%83%a0"},
      {"编辑框14", "", "2.1"},
      {"编辑框3", Text(12000, 'k'), Text(10239, 'k')},
  };
  for (const auto& c : cases) services.writeControlText(Form::Main, c.box, c.typed);
  closeAndWait();
  ASSERT_TRUE(window.isNull());
  ASSERT_TRUE(platform::isRegularFile(settingsPath())) << "written into the data folder beside the executable";
  for (int n = 1; n <= 14; ++n) {
    EXPECT_TRUE(platform::IniFile::load(settingsPath()).value(kEditBoxSection, "编辑框" + platform::toText(n)))
        << "编辑框" << n;
  }

  open();
  for (const auto& c : cases) EXPECT_EQ(box(c.box), c.restored) << c.box;
}

}  // namespace
}  // namespace quellbo::app
