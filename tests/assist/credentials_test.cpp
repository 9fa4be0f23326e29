#include "assist/credentials.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/handlers.h"
#include "app/program_values.h"
#include "app/remote_addresses.h"
#include "tests/support/fake_services.h"

namespace quellbo::assist {
namespace {

using platform::Form;

Text page(const char* path) { return app::remoteAddresses().website + path; }

struct FetchCase {
  const char* name;
  void (*fetch)();
  const char* page;
  const char* prompt;
  const char* head;
  const char* tail;
  const char* done;
  Text app::ProgramValues::*holder;
  const char* target;
};

const FetchCase kFetchCases[] = {
    {"appkey", fetchAppkey, "/user/open/open_appkey.aspx", "请手动复制appkey内容，5秒后自动弹窗", "已复制appkey   ",
     "如弹窗未出现appkey，请点击【确认】，否则请点击【取消】", "已自动填写至appkey栏",
     &app::ProgramValues::copiedAppkey, "编辑框3"},
    {"sid", fetchSid, "/user/shouquan.html", "授权账号ID  即SID,请手动复制6位SID，5秒后自动弹窗", "已复制sid   ",
     "如弹窗未出现sid，请点击【确认】，否则请点击【取消】", "已自动填写至sid栏", &app::ProgramValues::copiedSid,
     "编辑框4"},
};

class FetchTest : public ::testing::TestWithParam<FetchCase> {
 protected:
  void SetUp() override {
    app::programValues().*GetParam().holder = "earlier value";
    m_fake.setText(GetParam().target, "stored value");
    m_fake.clipboard = "copied before the click";
    m_start = m_fake.now;
    // When each box shows, and what the clipboard holds then.
    m_fake.onMessage = [this](const Text&) { m_shownAt.push_back(m_fake.now - m_start); };
  }

  // The user copies text at a moment of the virtual clock.
  void copyAt(std::uint64_t ms, const Text& text) {
    m_fake.queueEvent([this, text] { m_fake.clipboard = text; }, m_start + ms);
  }

  Text confirmation(const Text& value) const { return GetParam().head + value + GetParam().tail; }

  test::FakeServices m_fake;
  std::uint64_t m_start = 0;
  std::vector<std::uint64_t> m_shownAt;
};

TEST_P(FetchTest, CancelWritesTheValueReadAfterTheFirstWaitAtOnce) {
  const FetchCase& c = GetParam();
  copyAt(3000, "value-1");
  m_fake.messageAnswers = {platform::kAnswerOk, platform::kAnswerCancel};
  // A copy made while the confirmation is open comes too late for Cancel.
  m_fake.onMessage = [this, &c](const Text& content) {
    m_shownAt.push_back(m_fake.now - m_start);
    if (content == confirmation("value-1")) m_fake.clipboard = "value-2";
  };

  c.fetch();

  EXPECT_EQ(m_fake.navigations, std::vector<Text>{page(c.page)});
  ASSERT_EQ(m_fake.messageButtons.size(), 2u);
  EXPECT_EQ(m_fake.messageButtons[0], (std::pair<Text, int>{c.prompt, platform::kButtonsOk}));
  EXPECT_EQ(m_fake.messageButtons[1], (std::pair<Text, int>{confirmation("value-1"), platform::kButtonsOkCancel}));
  EXPECT_EQ(m_fake.text(c.target), "value-1");
  EXPECT_EQ(app::programValues().*c.holder, "value-1");
  // The wait starts once the prompt is closed and lasts five seconds.
  ASSERT_EQ(m_shownAt.size(), 2u);
  EXPECT_GE(m_shownAt[1] - m_shownAt[0], 5000u);
  EXPECT_LT(m_fake.now - m_start, 5100u) << "no second wait after Cancel";
}

TEST_P(FetchTest, OkWaitsAgainAndWritesTheNewValue) {
  const FetchCase& c = GetParam();
  copyAt(7000, "value-2");  // during the second wait only
  m_fake.messageAnswers = {platform::kAnswerOk, platform::kAnswerOk, platform::kAnswerOk};

  c.fetch();

  ASSERT_EQ(m_fake.messageButtons.size(), 3u);
  EXPECT_EQ(m_fake.messageButtons[1],
            (std::pair<Text, int>{confirmation("copied before the click"), platform::kButtonsOkCancel}));
  EXPECT_EQ(m_fake.messageButtons[2], (std::pair<Text, int>{c.done, platform::kButtonsOk}));
  EXPECT_EQ(m_fake.text(c.target), "value-2");
  EXPECT_EQ(app::programValues().*c.holder, "value-2");
  ASSERT_EQ(m_shownAt.size(), 3u);
  EXPECT_GE(m_shownAt[2] - m_shownAt[1], 5000u);
}

TEST_P(FetchTest, AnEmptyClipboardIsConfirmedAndWrittenAsItIs) {
  const FetchCase& c = GetParam();
  m_fake.clipboard.clear();
  m_fake.messageAnswers = {platform::kAnswerOk, platform::kAnswerCancel};

  c.fetch();

  ASSERT_EQ(m_fake.messages.size(), 2u);
  EXPECT_EQ(m_fake.messages[1], confirmation(""));
  EXPECT_EQ(m_fake.text(c.target), "");
  EXPECT_EQ(app::programValues().*c.holder, "");
}

INSTANTIATE_TEST_SUITE_P(Credentials, FetchTest, ::testing::ValuesIn(kFetchCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CredentialsTest, LoginPageNavigatesThenReminds) {
  test::FakeServices fake;
  std::size_t navigationsWhenShown = 0;
  fake.onMessage = [&](const Text&) { navigationsWhenShown = fake.navigations.size(); };

  openLoginPage();

  EXPECT_EQ(fake.navigations, std::vector<Text>{page("/user/user_login.html")});
  EXPECT_EQ(navigationsWhenShown, 1u) << "the page is on its way before the reminder shows";
  EXPECT_EQ(fake.messageButtons, (std::vector<std::pair<Text, int>>{{"记得勾选【记住COOKIE】", platform::kButtonsOk}}));
}

TEST(CredentialsTest, CreatedWindowIsMaximizedAndStartsOnTheRegistrationPage) {
  test::FakeServices fake;
  onCredentialsWindowCreated();
  EXPECT_TRUE(fake.maximized[Form::Credentials]);
  EXPECT_EQ(fake.navigations, std::vector<Text>{page("/user/user_register.html")});
  EXPECT_EQ(fake.control(Form::Credentials, "超文本浏览框1")->size, (platform::Size{336, 176}))
      << "the design size holds until a document is ready";
}

TEST(CredentialsTest, EveryDocumentReadyFitsTheBrowserToTheClientArea) {
  test::FakeServices fake;
  const platform::Size sizes[] = {{1280, 1000}, {800, 600}};
  for (const platform::Size size : sizes) {
    fake.clientSizes[Form::Credentials] = size;
    onBrowserDocumentReady(1);
    EXPECT_EQ(fake.control(Form::Credentials, "超文本浏览框1")->size, size);
  }
}

TEST(CredentialsTest, MainButtonOpensTheAssistant) {
  test::FakeServices fake;
  const app::Handler open = app::clickHandler(Form::Main, "按钮3");
  ASSERT_NE(open, nullptr);
  open();
  EXPECT_EQ(fake.openedWindows, std::vector<Form>{Form::Credentials});
  EXPECT_TRUE(fake.open[Form::Credentials]);
}

TEST(CredentialsTest, AssistantButtonsAreBound) {
  const struct {
    const char* button;
    app::Handler handler;
  } bindings[] = {{"按钮1", openLoginPage}, {"按钮2", fetchAppkey}, {"按钮3", fetchSid}};
  for (const auto& b : bindings) EXPECT_EQ(app::clickHandler(Form::Credentials, b.button), b.handler) << b.button;
}

}  // namespace
}  // namespace quellbo::assist
