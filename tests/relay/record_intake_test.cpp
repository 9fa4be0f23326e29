#include "relay/record_intake.h"

#include <gtest/gtest.h>

#include "app/program_values.h"
#include "tests/support/fake_services.h"
#include "tests/support/temp_dir.h"

namespace quellbo::relay {
namespace {

TEST(RecordIntakeTest, ThePluginFolderButtonComposesTheRecordPath) {
  struct Case {
    Text folder;
    Text group;
    Text expected;
  };
  const Case cases[] = {
      {"/home/u/coolq/data/app/com.talvek.msglog", "123456",
       "/home/u/coolq/data/app/com.talvek.msglog/【群消息】【123456】.txt"},
      {"", "123456", "/【群消息】【123456】.txt"},
      {"/tmp/群号备份", "88", "/tmp/88备份/【群消息】【88】.txt"},
      {"/tmp/x", "", "/tmp/x/【群消息】【】.txt"},
  };
  for (const auto& c : cases) {
    test::FakeServices fake;
    fake.folderChoice = c.folder;
    fake.setText("编辑框10", c.group);
    choosePluginFolder();
    EXPECT_EQ(fake.lastFolderPrompt, "请选择酷Q目录下的\\data\\app\\com.talvek.msglog文件夹");
    EXPECT_EQ(fake.text("编辑框9"), c.expected);
    ASSERT_EQ(fake.messages.size(), 2u);
    EXPECT_EQ(fake.messages[0], c.folder + "/【群消息】【群号】.txt");
    EXPECT_EQ(fake.messages[1], c.expected);
    EXPECT_EQ(app::programValues().recordFilePath, c.expected);
  }
}

TEST(RecordIntakeTest, TheSendersMessageStandsAfterHisNumber) {
  struct Case {
    Text file;
    Text sender;
    Text first;
    TextList all;
  };
  const Case cases[] = {
      {"【12:00】【甲】【111】好物一\r\n【12:01】【乙】【222】别的\r\n【12:02】【甲】【111】好物二", "111",
       "好物一\r\n【12:01】【乙】【222】别的\r\n【12:02】【甲】【",
       {"好物一\r\n【12:01】【乙】【222】别的\r\n【12:02】【甲】【", "好物二"}},
      {"111】开头就是", "111", "开头就是", {"开头就是"}},
      {"【222】别人的", "111", "", {}},
      {"", "111", "", {}},
      // An empty number makes the marker "】" alone.
      {"【a】b】c", "", "b", {"b", "c"}},
      // The bytes A1 BF of "】" inside 啊 (B0 A1) + 靠 (BF BF) are no marker.
      {"啊靠x】消息", "", "消息", {"消息"}},
      // Nor is "1】" hidden in the 4-byte character 81 30 81 31.
      {"\x81\x30\x81\x31】x【1】消息", "1", "消息", {"消息"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(takeSenderMessage(c.file, c.sender), c.first) << c.file;
    EXPECT_EQ(takeSenderMessages(c.file, c.sender), c.all) << c.file;
  }
}

TEST(RecordIntakeTest, OnlyFilesNamedLikeARecordFileAreRecordFiles) {
  test::TempDir dir;
  dir.write("【群消息】【123】.txt", "x");
  dir.write("notes.txt", "x");
  EXPECT_TRUE(isRecordFile(dir.fileText("【群消息】【123】.txt")));
  EXPECT_FALSE(isRecordFile(dir.fileText("notes.txt")));
  EXPECT_FALSE(isRecordFile(dir.fileText("【群消息】【456】.txt")));
  EXPECT_FALSE(isRecordFile(dir.text()));
  EXPECT_FALSE(isRecordFile(""));
}

}  // namespace
}  // namespace quellbo::relay
