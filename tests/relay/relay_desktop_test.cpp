#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <fstream>
#include <sstream>

#include "app/main_window.h"
#include "app/program_values.h"
#include "app/remote_addresses.h"
#include "app/wait.h"
#include "net/encodings.h"
#include "platform/ini_file.h"
#include "platform/services_qt.h"
#include "relay/chat_delivery.h"
#include "relay/relay_loop.h"
#include "tests/support/child_process.h"
#include "tests/support/qt_application.h"
#include "tests/support/standin_server.h"
#include "tests/support/temp_dir.h"

namespace quellbo::relay {
namespace {

using platform::Form;

std::string fromHex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

// The texts the chat window sent, as Text, in order.
std::vector<Text> sentTexts(const std::string& logPath) {
  std::ifstream log(logPath);
  std::vector<Text> texts;
  for (std::string line; std::getline(log, line);) {
    if (line.rfind("sent ", 0) == 0) texts.push_back(net::fromUtf8(fromHex(line.substr(5))));
  }
  return texts;
}

bool logHas(const std::string& logPath, const std::string& prefix) {
  std::ifstream log(logPath);
  for (std::string line; std::getline(log, line);) {
    if (line.rfind(prefix, 0) == 0) return true;
  }
  return false;
}

// The relay in the real program against a real chat window of another
// toolkit, while another process records new deals into the record file.
TEST(RelayDesktopTest, EveryRecordedDealReachesTheChatWindowInOrder) {
  ASSERT_TRUE(test::startQtApplication(test::QtDisplay::X11)) << "needs an X display: run under tools/with-xvfb.sh";
  test::StandinServer server;
  ASSERT_TRUE(server.running());
  test::TempDir dir;
  platform::writeIniValue(dir.fileText("setsoft.ini"), app::kServiceSection, "转链接口", Text(server.baseUrl()));
  app::loadRemoteAddresses(dir.fileText("setsoft.ini"));
  app::programValues() = {};

  platform::QtServices services;
  platform::installServices(&services);
  auto* window = new app::MainWindow(app::MainWindow::Events{});
  services.showWindow(window, false);

  const Text group = "发单测试群";
  const std::string chatLog = dir.file("chat.log");
  test::ChildProcess chat({"/usr/bin/python3", QUELLBO_SOURCE_DIR "/tests/platform/tk_chat_window.py",
                           net::toUtf8(group), chatLog, "chat"});
  for (int i = 0; i < 200 && !logHas(chatLog, "ready"); ++i) app::waitMs(50);
  ASSERT_TRUE(logHas(chatLog, "ready"));

  const Text record = "【群消息】【8888】.txt";
  services.writeControlText(Form::Main, "编辑框3", "demo-appkey");
  services.writeControlText(Form::Main, "编辑框4", "123456");
  services.writeControlText(Form::Main, "编辑框5", "mm_1_2_3");
  services.writeControlText(Form::Main, "编辑框9", dir.fileText(record));
  services.writeControlText(Form::Main, "编辑框11", "111");
  services.writeControlText(Form::Main, "编辑框12", group);
  dir.write(record, "【10:00】【甲】【111】第一件￥Ab3dEf5hIj7￥");
  // The plug-in keeps appending while the relay runs.
  const std::string appender =
      "import sys, time\n"
      "for i, text in enumerate(['第二件', '第三件', '第四件']):\n"
      "    time.sleep(1.5)\n"
      "    with open(sys.argv[1], 'ab') as f:\n"
      "        f.write(('【10:0%d】【甲】【111】%s￥Ab3dEf5hIj7￥' % (i + 1, text)).encode('gb18030'))\n";
  test::ChildProcess recorder({"/usr/bin/python3", "-c", net::toUtf8(appender), dir.file(net::toUtf8(record))});

  const platform::Point cursorAtStart = cursorPosition();
  // Answers the "真" box, then stops the relay once four deals were sent.
  QTimer::singleShot(300, [] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* box = qobject_cast<QMessageBox*>(w); box != nullptr && box->isVisible()) box->accept();
    }
  });
  QTimer watcher;
  int ticks = 0;
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    if (sentTexts(chatLog).size() >= 4 || ++ticks > 600) stopRelay();
  });
  watcher.start(100);
  startRelay();
  watcher.stop();

  const Text token = app::programValues().newShareToken;
  ASSERT_FALSE(token.empty());
  // A message runs up to the sender's next marker, so one that shared its
  // file with the next carries that line's head along.
  const std::vector<Text> sent = sentTexts(chatLog);
  const std::vector<Text> expected = {"第一件" + token, "第二件" + token, "第三件" + token, "第四件" + token};
  ASSERT_EQ(sent.size(), expected.size());
  for (std::size_t i = 0; i < sent.size(); ++i) EXPECT_EQ(sent[i].rfind(expected[i], 0), 0u) << sent[i];
  EXPECT_EQ(cursorPosition(), cursorAtStart) << "the pointer ends where it started";
  EXPECT_EQ(services.getClipboardText(), "");
  delete window;
  platform::installServices(nullptr);
}

}  // namespace
}  // namespace quellbo::relay
