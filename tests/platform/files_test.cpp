#include "platform/files.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace quellbo::platform {
namespace {

TEST(FilesTest, ChineseFileNamesAreFoundWhateverTheLocale) {
  test::TempDir dir;
  const Text name = "【群消息】【123456】.txt";
  const Text path = joinPath(dir.text(), name);
  EXPECT_FALSE(fileExists(path));
  EXPECT_TRUE(writeFileAtomically(path, "1】hello\x1A tail", false));
  EXPECT_TRUE(fileExists(path));
  EXPECT_TRUE(isRegularFile(path));
  EXPECT_EQ(readFileText(path), "1】hello");
  EXPECT_TRUE(deleteFile(path));
  EXPECT_FALSE(fileExists(path));
  EXPECT_EQ(readFileText(path), "");
}

TEST(FilesTest, FoldersAreNeverDeletedOrReadAsFiles) {
  test::TempDir dir;
  const Text folder = joinPath(dir.text(), "a/b/c");
  EXPECT_TRUE(createDirectories(folder));
  EXPECT_TRUE(isExistingDirectory(folder));
  EXPECT_TRUE(fileExists(folder));
  EXPECT_FALSE(isRegularFile(folder));
  EXPECT_FALSE(deleteFile(folder));
  EXPECT_TRUE(isExistingDirectory(folder));
  EXPECT_EQ(readFileText(folder), "");
}

TEST(FilesTest, AtomicWritesReplaceWholeAndKeepOwnerOnlyModeForNewFiles) {
  test::TempDir dir;
  const Text path = joinPath(dir.text(), "setsoft.ini");
  EXPECT_TRUE(writeFileAtomically(path, "first", true));
  EXPECT_TRUE(writeFileAtomically(path, "second", true));
  EXPECT_EQ(dir.read("setsoft.ini"), "second");
  struct stat info{};
  ASSERT_EQ(::stat(dir.file("setsoft.ini").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_FALSE(writeFileAtomically(joinPath(dir.text(), "missing/x.ini"), "x", true));
}

TEST(FilesTest, RunDirectoryIsTheExecutablesFolder) {
  const Text dir = runDirectory();
  EXPECT_TRUE(isExistingDirectory(dir));
  EXPECT_NE(dir.back(), '/');
}

}  // namespace
}  // namespace quellbo::platform
