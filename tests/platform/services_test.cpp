#include "platform/services.h"

#include <gtest/gtest.h>

#include "tests/support/fake_services.h"

namespace quellbo::platform {
namespace {

TEST(ServicesTest, MessagesShowTheirContentWhateverItsType) {
  test::FakeServices fake;
  showMessage("即将打开浏览器");  // a literal is a text, not a boolean
  showMessage(Text("文字"));
  showMessage(true);
  showMessage(false);
  showMessage(-7LL);
  showMessage(static_cast<const char*>(nullptr));
  EXPECT_EQ(fake.messages, (std::vector<Text>{"即将打开浏览器", "文字", "真", "假", "-7", ""}));
}

}  // namespace
}  // namespace quellbo::platform
