#include "relay/chat_delivery.h"

#include <gtest/gtest.h>

#include "app/program_values.h"
#include "tests/support/fake_services.h"

namespace quellbo::relay {
namespace {

using Log = std::vector<std::string>;

TEST(ChatDeliveryTest, PastesAndSendsIntoTheWindowTitledAsTheGroup) {
  for (const Text& text : {Text("好物推荐 ￥Ab3dEf5hIj7￥"), Text("")}) {
    test::FakeServices fake;
    fake.desktopWindows = {{"别的窗口", {0, 0}}, {"发单群", {300, 40}}};
    fake.setText("编辑框12", "发单群");
    fake.setText("编辑框2", text);
    fake.clipboard = "earlier";
    const platform::Point start = fake.cursor;
    deliverToChat();
    EXPECT_EQ(app::programValues().chatWindow, 2u);
    EXPECT_EQ(fake.desktopLog, (Log{"raise 2", "click left at 428,625", "clipboard " + text, "keys 17+86",
                                    "clipboard cleared", "keydown 13 to 2"}));
    EXPECT_EQ(fake.cursor, start);
    EXPECT_EQ(fake.clipboard, "");
  }
}

TEST(ChatDeliveryTest, NoWindowWithTheTitleMeansNoDelivery) {
  test::FakeServices fake;
  fake.desktopWindows = {{"发单群", {0, 0}}};
  fake.setText("编辑框12", "另一个群");
  fake.setText("编辑框2", "text");
  fake.clipboard = "untouched";
  deliverToChat();
  EXPECT_TRUE(fake.desktopLog.empty());
  EXPECT_EQ(fake.clipboard, "untouched");
}

TEST(ChatDeliveryTest, ClickButtonsAndDefaults) {
  struct Case {
    std::optional<int> button;
    Log expected;
  };
  const Case cases[] = {
      {std::nullopt, {"click left at 110,220"}}, {0, {"click left at 110,220"}}, {1, {"click left at 110,220"}},
      {2, {"click right at 110,220"}},           {3, {"click press at 110,220"}}, {4, {}},
  };
  for (const auto& c : cases) {
    test::FakeServices fake;
    fake.desktopWindows = {{"w", {100, 200}}};
    fake.cursor = {5, 6};
    clickInWindow(1, 10, 20, c.button);
    EXPECT_EQ(fake.desktopLog, c.expected);
    EXPECT_EQ(fake.cursor, (platform::Point{5, 6}));
  }
  test::FakeServices fake;
  fake.cursor = {7, 8};
  clickInWindow(0);
  EXPECT_EQ(fake.desktopLog, Log{"click left at 7,8"}) << "omitted coordinates take the cursor's";
}

}  // namespace
}  // namespace quellbo::relay
