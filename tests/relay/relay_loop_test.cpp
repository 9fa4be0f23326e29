#include "relay/relay_loop.h"

#include <gtest/gtest.h>

#include "app/program_values.h"
#include "app/remote_addresses.h"
#include "platform/files.h"
#include "platform/ini_file.h"
#include "tests/support/fake_services.h"
#include "tests/support/standin_server.h"
#include "tests/support/temp_dir.h"

namespace quellbo::relay {
namespace {

using platform::Form;

// The relay against the stand-in conversion service, a pretend chat window
// and a record file in a temporary plug-in folder.
class RelayLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.running());
    const Text settings = dir.fileText("setsoft.ini");
    platform::writeIniValue(settings, app::kServiceSection, "转链接口", Text(server.baseUrl()));
    app::loadRemoteAddresses(settings);
    app::programValues() = {};
    fake.desktopWindows = {{"发单群", {200, 100}}};
    fake.setText("编辑框3", "demo-appkey");
    fake.setText("编辑框4", "123456");
    fake.setText("编辑框5", "mm_1_2_3");
    fake.setText("编辑框9", recordPath());
    fake.setText("编辑框11", "111");
    fake.setText("编辑框12", "发单群");
  }
  void TearDown() override { app::loadRemoteAddresses(dir.fileText("none.ini")); }

  Text recordPath() const { return dir.fileText("【群消息】【8888】.txt"); }
  void record(const std::string& content) const { dir.write("【群消息】【8888】.txt", content); }
  // What reached the chat window, in order.
  std::vector<Text> delivered() const {
    std::vector<Text> texts;
    for (const auto& line : fake.desktopLog) {
      if (line.rfind("clipboard ", 0) == 0 && line != "clipboard cleared") texts.push_back(line.substr(10));
    }
    return texts;
  }
  // Stops the relay once the virtual clock passes atMs.
  void stopAt(std::uint64_t atMs) { fake.queueEvent(stopRelay, atMs); }

  test::StandinServer server;
  test::TempDir dir;
  test::FakeServices fake;
};

TEST_F(RelayLoopTest, EveryMessageOfTheSenderIsRelayedInOrderAndNothingIsLost) {
  record("【10:00】【甲】【111】第一件￥Ab3dEf5hIj7￥\r\n【10:01】【乙】【222】不是他的\r\n"
         "【10:02】【甲】【111】第二件[CQ:image,file=ABC.jpg]￥Ab3dEf5hIj7￥");
  // Recorded while the first pass runs: it must wait for the next pass.
  fake.queueEvent([this] { record("【10:05】【甲】【111】第三件￥Ab3dEf5hIj7￥"); }, fake.now + 1000);
  stopAt(fake.now + 12000);
  startRelay();

  const auto texts = delivered();
  ASSERT_EQ(texts.size(), 3u);
  const Text token = app::programValues().newShareToken;
  EXPECT_EQ(texts[0].rfind("第一件￥", 0), 0u) << texts[0];
  EXPECT_NE(texts[0].find("【10:01】【乙】【222】不是他的"), Text::npos) << "other lines up to the next marker stay";
  EXPECT_EQ(texts[1], "第二件" + token);
  EXPECT_EQ(texts[2], "第三件" + token);
  EXPECT_EQ(fake.messages, std::vector<Text>{"真"});
  for (const char* box : {"编辑框1", "编辑框2", "编辑框8"}) EXPECT_EQ(fake.text(box), "") << box;
  EXPECT_FALSE(platform::fileExists(recordPath()));
}

TEST_F(RelayLoopTest, AFileWithoutTheSendersMarkerIsDroppedUnconverted) {
  record("【10:00】【乙】【222】不是他的￥Ab3dEf5hIj7￥");
  stopAt(fake.now + 500);
  startRelay();
  EXPECT_TRUE(delivered().empty());
  EXPECT_FALSE(platform::fileExists(recordPath()));
  EXPECT_EQ(server.requestsJson(), "[]");
}

TEST_F(RelayLoopTest, StopDuringAWaitFinishesThePassThenEnds) {
  record("【111】好物￥Ab3dEf5hIj7￥");
  stopAt(fake.now + 500);  // inside the two-second wait after the conversion
  fake.queueEvent([this] { record("【111】下一件￥Ab3dEf5hIj7￥"); }, fake.now + 600);
  startRelay();
  EXPECT_EQ(delivered().size(), 1u);
  EXPECT_EQ(fake.text("编辑框1"), "");
  EXPECT_TRUE(platform::fileExists(recordPath())) << "recorded after the stop: kept for the next start";
}

TEST_F(RelayLoopTest, ClosingTheWindowEndsTheLoopAtItsNextWait) {
  record("【111】好物￥Ab3dEf5hIj7￥");
  fake.queueEvent([this] { fake.closeWindow(Form::Main); }, fake.now + 500);
  startRelay();
  EXPECT_FALSE(fake.isWindowOpen(Form::Main));
  EXPECT_TRUE(delivered().empty()) << "nothing is sent once the window is gone";
}

TEST_F(RelayLoopTest, WithoutARecordFileTheRelayDoesNotStart) {
  struct Case {
    Text path;
    bool exists;
  };
  dir.write("notes.txt", "【111】x");
  const Case cases[] = {{dir.fileText("【群消息】【9999】.txt"), false}, {dir.fileText("notes.txt"), true}, {dir.text(), true}};
  for (const auto& c : cases) {
    fake.messages.clear();
    fake.setText("编辑框9", c.path);
    startRelay();
    EXPECT_EQ(fake.messages, std::vector<Text>{"假"}) << c.path;
    EXPECT_EQ(app::programValues().relayRunning, 0);
    EXPECT_EQ(platform::fileExists(c.path), c.exists) << "nothing else is touched";
  }
}

TEST_F(RelayLoopTest, ASecondStartWithoutAFileEndsTheRunningLoop) {
  record("【111】好物￥Ab3dEf5hIj7￥");
  fake.queueEvent(
      [this] {
        fake.setText("编辑框9", dir.fileText("【群消息】【0000】.txt"));
        startRelay();
      },
      fake.now + 500);
  startRelay();
  EXPECT_EQ(fake.messages, (std::vector<Text>{"真", "假"}));
  EXPECT_EQ(app::programValues().relayRunning, 0);
}

}  // namespace
}  // namespace quellbo::relay
