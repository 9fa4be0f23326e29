#include "app/update_check.h"

#include <gtest/gtest.h>

#include "app/handlers.h"
#include "app/remote_addresses.h"
#include "app/settings_file.h"
#include "platform/files.h"
#include "platform/ini_file.h"
#include "tests/support/fake_services.h"
#include "tests/support/standin_server.h"
#include "tests/support/temp_dir.h"

namespace quellbo::app {
namespace {

using platform::Form;

class UpdateCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.running());
    platform::writeIniValue(dir.fileText("setsoft.ini"), kServiceSection, "更新服务器", Text(server.baseUrl()));
    loadRemoteAddresses(dir.fileText("setsoft.ini"));
  }
  void TearDown() override { loadRemoteAddresses(dir.fileText("none.ini")); }

  test::StandinServer server;
  test::TempDir dir;
};

TEST_F(UpdateCheckTest, OnlyANewerEditionClosesTheProgram) {
  struct Case {
    std::string document;
    bool newer;
    Text opened;
  };
  const Case cases[] = {
      {R"({"edition":"2.2","address":"http://127.0.0.1/new.html"})", true, "http://127.0.0.1/new.html"},
      {R"({"edition":2.2,"address":"https://127.0.0.1/new.html"})", true, "https://127.0.0.1/new.html"},
      {R"({"edition":"2.1","address":"http://127.0.0.1/new.html"})", false, ""},
      {R"({"edition":"2.10","address":"http://127.0.0.1/new.html"})", false, ""},
      {R"({"edition":"2.1000001","address":"http://127.0.0.1/new.html"})", false, ""},
      {"<html>502 Bad Gateway</html>", false, ""},
      {R"({"address":"http://127.0.0.1/new.html"})", false, ""},
      // A newer edition with an address that is no web page: the message and
      // the close still come, the address is not opened.
      {R"({"edition":"3","address":"file:///etc/passwd"})", true, ""},
      {R"({"edition":"3"})", true, ""},
  };
  for (const auto& c : cases) {
    server.setUpdateDocument(c.document);
    test::FakeServices fake;
    checkForUpdate();
    EXPECT_TRUE(fake.open[Form::Main]) << "the close is queued, not done at once";
    fake.processEvents();
    EXPECT_EQ(!fake.open[Form::Main], c.newer) << c.document;
    EXPECT_EQ(fake.messages, c.newer ? std::vector<Text>{kUpdateMessage} : std::vector<Text>{}) << c.document;
    EXPECT_EQ(fake.openedUrls, c.opened.empty() ? std::vector<Text>{} : std::vector<Text>{c.opened}) << c.document;
  }
}

TEST_F(UpdateCheckTest, ClosingForAnUpdateStoresBackWhatWasRestored) {
  server.setUpdateDocument(R"({"edition":"2.2","address":"http://127.0.0.1/new.html"})");
  const Text settings = settingsPath();
  platform::deleteFile(settings);
  platform::writeIniValue(settings, kServiceSection, "更新服务器", Text(server.baseUrl()));
  {
    test::FakeServices lastRun;
    lastRun.setText("编辑框3", "my-appkey");
    lastRun.setText("编辑框1", "两行\r\n\"文本\"");
    saveEditBoxes(Form::Main);
  }
  std::string before;
  ASSERT_TRUE(platform::readFileBytes(settings, before));

  test::FakeServices fake;
  fake.onWindowDestroying = [](Form form) {
    if (form == Form::Main) onMainWindowDestroying();
  };
  onMainWindowCreated();
  EXPECT_EQ(fake.messages, std::vector<Text>{kUpdateMessage});
  EXPECT_EQ(fake.text("编辑框3"), "my-appkey") << "restored before the window goes";
  fake.processEvents();
  EXPECT_FALSE(fake.open[Form::Main]);
  std::string after;
  platform::readFileBytes(settings, after);
  EXPECT_EQ(after, before);
  platform::deleteFile(settings);
}

TEST_F(UpdateCheckTest, AnUnreachableServerShowsNothing) {
  platform::writeIniValue(dir.fileText("setsoft.ini"), kServiceSection, "更新服务器", Text("http://127.0.0.1:1"));
  loadRemoteAddresses(dir.fileText("setsoft.ini"));
  test::FakeServices fake;
  checkForUpdate();
  fake.processEvents();
  EXPECT_TRUE(fake.messages.empty());
  EXPECT_TRUE(fake.open[Form::Main]);
}

}  // namespace
}  // namespace quellbo::app
