#include "app/wait.h"

#include <gtest/gtest.h>

#include "tests/support/fake_services.h"

namespace quellbo::app {
namespace {

TEST(WaitTest, LastsAtLeastItsCountWhileHandlingEvents) {
  test::FakeServices fake;
  const auto start = fake.now;
  bool clicked = false;
  fake.queueEvent([&] { clicked = true; }, start + 300);
  waitMs(1000);
  EXPECT_GE(fake.now - start, 1000u);
  EXPECT_LE(fake.now - start, 1002u);
  EXPECT_TRUE(clicked) << "a click queued during the wait runs before it returns";
}

TEST(WaitTest, ZeroOrNegativeHandlesEventsOnceAndSleepsOneMillisecond) {
  for (int ms : {0, -5}) {
    test::FakeServices fake;
    const auto start = fake.now;
    waitMs(ms);
    EXPECT_EQ(fake.processEventsCalls, 1);
    EXPECT_EQ(fake.now - start, 1u);
  }
}

}  // namespace
}  // namespace quellbo::app
