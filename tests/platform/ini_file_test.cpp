#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace quellbo::platform {
namespace {

TEST(IniFileTest, ReadsWithPrivateProfileSemantics) {
  test::TempDir dir;
  dir.write("a.ini",
            "; comment\n[编辑框]\r\n编辑框1 = \"quoted value\" \r\nKey2=  plain  \n[Other]\nkey2=other\n"
            "[Case]\nMiXeD=yes\n");
  const Text file = dir.fileText("a.ini");
  struct Case {
    Text section;
    Text key;
    Text expected;
  };
  const Case cases[] = {
      {"编辑框", "编辑框1", "quoted value"},
      {"编辑框", "key2", "plain"},
      {"other", "KEY2", "other"},
      {"case", "mixed", "yes"},
      {"编辑框", "missing", "default"},
      {"missing", "key2", "default"},
  };
  for (const auto& c : cases) EXPECT_EQ(readIniValue(file, c.section, c.key, "default"), c.expected) << c.key;
  EXPECT_EQ(readIniValue(dir.fileText("none.ini"), "s", "k", "d"), "d");
}

TEST(IniFileTest, WritesCreateWhatIsMissingAndKeepTheRest) {
  test::TempDir dir;
  dir.write("a.ini", "[服务]\n网站=http://x\n[编辑框]\nA=1\n");
  const Text file = dir.fileText("a.ini");
  EXPECT_TRUE(writeIniValue(file, "编辑框", "a", Text("2")));
  EXPECT_TRUE(writeIniValue(file, "编辑框", "B", Text("3")));
  EXPECT_TRUE(writeIniValue(file, "新", "k", Text("v")));
  EXPECT_TRUE(writeIniValue(file, "服务", "网站", std::nullopt));
  EXPECT_EQ(dir.read("a.ini"), "[服务]\r\n[编辑框]\r\na=2\r\nB=3\r\n[新]\r\nk=v\r\n");

  EXPECT_TRUE(writeIniValue(dir.fileText("new.ini"), "s", "k", Text("v")));
  EXPECT_EQ(readIniValue(dir.fileText("new.ini"), "s", "k"), "v");
}

TEST(IniFileTest, LongValuesComeBackCutToTheBuffer) {
  test::TempDir dir;
  const Text file = dir.fileText("a.ini");
  writeIniValue(file, "s", "k", Text(20000, 'x'));
  EXPECT_EQ(readIniValue(file, "s", "k").size(), static_cast<std::size_t>(kIniReadLimit));
  // A cut never leaves half a character behind.
  Text wide = "x";
  for (int i = 0; i < 6000; ++i) wide += "中";
  writeIniValue(file, "s", "k", wide);
  EXPECT_EQ(readIniValue(file, "s", "k").size(), 10239u);
  Text even;
  for (int i = 0; i < 6000; ++i) even += "中";
  writeIniValue(file, "s", "k", even);
  EXPECT_EQ(readIniValue(file, "s", "k").size(), 10238u);
}

}  // namespace
}  // namespace quellbo::platform
