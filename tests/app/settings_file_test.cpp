#include "app/settings_file.h"

#include <sys/stat.h>

#include <filesystem>
#include <gtest/gtest.h>

#include "app/form_spec.h"
#include "net/encodings.h"
#include "platform/files.h"
#include "platform/ini_file.h"
#include "tests/support/fake_services.h"
#include "tests/support/temp_dir.h"

namespace quellbo::app {
namespace {

using platform::Form;

TEST(SettingsFileTest, EditBoxesComeBackAsTheyWere) {
  test::TempDir dir;
  const Text file = dir.fileText("setsoft.ini");
  const Text multiLine = "第一行\r\n第二行 \"引用\"\r\n";
  {
    test::FakeServices fake;
    fake.setText("编辑框1", multiLine);
    fake.setText("编辑框2", "a><br><b#引号c");
    fake.setText("编辑框6", "");
    fake.setText("编辑框14", "");
    fake.setText("编辑框10", "123456");
    fake.setText("编辑框13", "pt_key=abc; pt_pin=x");
    EXPECT_EQ(saveEditBoxes(Form::Main, file), 14);
  }
  test::FakeServices fake;
  EXPECT_EQ(restoreEditBoxes(Form::Main, file), 14);
  EXPECT_EQ(fake.text("编辑框1"), multiLine);
  EXPECT_EQ(fake.text("编辑框2"), "a\r\nb\"c");
  EXPECT_EQ(fake.text("编辑框6"), "%e6%9c%ac%e7%be%a4%e4%b8%93%e9%a1%b9%e4%bc%98%e6%83%a0");
  EXPECT_EQ(fake.text("编辑框14"), "2.1");
  EXPECT_EQ(fake.text("编辑框10"), "123456");
  EXPECT_EQ(fake.text("编辑框13"), "pt_key=abc; pt_pin=x");

  const std::string stored = dir.read("setsoft.ini");
  EXPECT_NE(stored.find("编辑框1=第一行><br><第二行 #引号引用#引号><br><\r\n"), std::string::npos) << stored;
  EXPECT_NE(stored.find("编辑框10=123456\r\n"), std::string::npos);
}

TEST(SettingsFileTest, AllFourteenKeysAreWrittenInFormOrder) {
  test::TempDir dir;
  test::FakeServices fake;
  saveEditBoxes(Form::Main, dir.fileText("setsoft.ini"));
  const std::string stored = dir.read("setsoft.ini");
  std::size_t at = stored.find("[编辑框]");
  ASSERT_NE(at, std::string::npos);
  int keys = 0;
  for (const auto& c : mainForm().controls) {
    if (Text(c.kind) != kEditBox) continue;
    const auto next = stored.find("\r\n" + Text(c.name) + "=", at);
    ASSERT_NE(next, std::string::npos) << c.name;
    at = next;
    ++keys;
  }
  EXPECT_EQ(keys, 14);
}

TEST(SettingsFileTest, SavingKeepsOtherSectionsAndNeverLeavesAHalfFile) {
  test::TempDir dir;
  dir.write("setsoft.ini", "[服务]\r\n网站=http://127.0.0.1:1\r\n");
  const Text file = dir.fileText("setsoft.ini");
  test::FakeServices fake;
  fake.setText("编辑框3", "key");
  saveEditBoxes(Form::Main, file, "编辑框5|编辑框7");
  EXPECT_EQ(platform::readIniValue(file, "服务", "网站"), "http://127.0.0.1:1");
  EXPECT_EQ(platform::readIniValue(file, "编辑框", "编辑框3"), "key");
  EXPECT_EQ(platform::readIniValue(file, "编辑框", "编辑框5", "skipped"), "skipped");
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    EXPECT_EQ(entry.path().filename(), "setsoft.ini") << "no temporary file is left behind";
  }
}

TEST(SettingsFileTest, LoneLineBreaksAreStoredSafely) {
  test::TempDir dir;
  const Text file = dir.fileText("setsoft.ini");
  {
    test::FakeServices fake;
    fake.setText("编辑框3", "a\nb\rc");
    saveEditBoxes(Form::Main, file);
  }
  test::FakeServices fake;
  restoreEditBoxes(Form::Main, file);
  EXPECT_EQ(fake.text("编辑框3"), "a\r\nb\r\nc");
  EXPECT_EQ(fake.text("编辑框4"), "") << "the next key was not swallowed";
}

TEST(SettingsFileTest, ValuesLongerThanTheReadLimitComeBackCut) {
  test::TempDir dir;
  const Text file = dir.fileText("setsoft.ini");
  {
    test::FakeServices fake;
    fake.setText("编辑框1", Text(12000, 'x'));
    saveEditBoxes(Form::Main, file);
  }
  test::FakeServices fake;
  restoreEditBoxes(Form::Main, file);
  EXPECT_EQ(fake.text("编辑框1"), Text(10239, 'x'));
}

TEST(SettingsFileTest, TheDataFolderBesideTheExecutableIsCreated) {
  const Text folder = platform::joinPath(platform::runDirectory(), "data");
  std::filesystem::remove_all(net::toUtf8(folder));
  EXPECT_FALSE(isDirectory(folder));
  const Text path = settingsPath();
  EXPECT_TRUE(isDirectory(folder));
  EXPECT_EQ(path, platform::joinPath(folder, "setsoft.ini"));
  test::FakeServices fake;
  saveEditBoxes(Form::Main);
  EXPECT_TRUE(platform::isRegularFile(path));
  struct stat info{};
  ASSERT_EQ(::stat(net::toUtf8(path).c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u) << "the file holds the user's cookie and keys";
  std::filesystem::remove_all(net::toUtf8(folder));
}

TEST(SettingsFileTest, SkipListItemsMatchExactly) {
  struct Case {
    Text list;
    Text name;
    bool notListed;
  };
  const Case cases[] = {
      {"", "编辑框1", true},
      {"编辑框1", "编辑框1", false},
      {"编辑框10|编辑框2", "编辑框1", true},
      {"a|编辑框1|b", "编辑框1", false},
      {"A", "a", true},
  };
  for (const auto& c : cases) EXPECT_EQ(isNotListed(c.list, c.name), c.notListed) << c.list;
}

}  // namespace
}  // namespace quellbo::app
