#include "convert/conversion.h"

#include <gtest/gtest.h>

#include "app/program_values.h"
#include "app/remote_addresses.h"
#include "data/regex_matcher.h"
#include "platform/ini_file.h"
#include "tests/support/fake_services.h"
#include "tests/support/standin_server.h"
#include "tests/support/temp_dir.h"

namespace quellbo::convert {
namespace {

constexpr const char* kFallback =
    "不支持转换，原文输出\r\n不支持转换的口令有：\r\n1.店铺淘口令不支持转换\r\n2.分享券淘口令不支持转换\r\n"
    "3.其他一些不支持转换的口令";

// Both services point at the stand-in; the boxes hold a user's credentials.
class ConversionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.running());
    const Text settings = dir.fileText("setsoft.ini");
    platform::writeIniValue(settings, app::kServiceSection, "转链接口", Text(server.baseUrl()));
    platform::writeIniValue(settings, app::kServiceSection, "京粉转链", Text(server.baseUrl()));
    app::loadRemoteAddresses(settings);
    app::programValues() = {};
    fake.setText("编辑框3", "demo-appkey");
    fake.setText("编辑框4", "123456");
    fake.setText("编辑框5", "mm_1_2_3");
  }
  void TearDown() override { app::loadRemoteAddresses(dir.fileText("none.ini")); }

  Text convert(const Text& input) {
    fake.setText("编辑框1", input);
    runConversion();
    return fake.text("编辑框2");
  }
  bool requested(const std::string& piece) const { return server.requestsJson().find(piece) != std::string::npos; }

  test::StandinServer server;
  test::TempDir dir;
  test::FakeServices fake;
};

bool looksLikeToken(const Text& token) {
  data::RegexMatcher m;
  return m.search("^￥\\w{11}￥$", token) && m.matchCount() == 1;
}

TEST_F(ConversionTest, AFramedTokenIsReplacedAndEverythingElseKept) {
  const Text output = convert("【爆款】保温杯 券后19.9元 ￥Ab3dEf5hIj7￥ 复制打开淘宝");
  const Text token = app::programValues().newShareToken;
  EXPECT_TRUE(looksLikeToken(token)) << token;
  EXPECT_EQ(output, "【爆款】保温杯 券后19.9元 " + token + " 复制打开淘宝");
  EXPECT_EQ(fake.text("编辑框8"), "转换完毕");
  EXPECT_EQ(app::programValues().conversionInput, fake.text("编辑框1"));
  // Each call carries the credentials, the pid and the form's title and logo.
  EXPECT_TRUE(requested("/api/open_shangpin_id.ashx?appkey=demo-appkey&sid=123456&content="));
  EXPECT_TRUE(requested("pid=mm_1_2_3&num_iid=612345678901&me=&relation_id=&signurl=3"));
  EXPECT_TRUE(requested("text=%e6%9c%ac%e7%be%a4%e4%b8%93%e9%a1%b9%e4%bc%98%e6%83%a0&url=https://s.click.taobao.com"));
}

TEST_F(ConversionTest, TokenShapedPiecesAreFoundByTheirBorders) {
  struct Case {
    Text input;
    Text before;  // the output is before + token + after, or the input itself
    Text after;
    bool replaced;
  };
  const Case cases[] = {
      {"买它(Ab3dEf5hIj7)现在", "买它", "现在", true},
      {"买它 Ab3dEf5hIj7 现在", "买它", "现在", true},
      {"买它\r\nAb3dEf5hIj7\r\n现在", "买它\r", "\n现在", true},
      {"买它€Ab3dEf5hIj7€现在", "", "", false},
      {"买它中Ab3dEf5hIj7中现在", "", "", false},
      {"买它￥Ab3dEf5hIj7x￥现在", "", "", false},
  };
  for (const auto& c : cases) {
    const Text output = convert(c.input);
    const Text token = app::programValues().newShareToken;
    EXPECT_EQ(output, c.replaced ? c.before + token + c.after : c.input) << c.input;
    EXPECT_EQ(fake.text("编辑框8"), "转换完毕");
  }
}

TEST_F(ConversionTest, TwoTokensBothGetTheNewOne) {
  const Text output = convert("第一件￥Ab3dEf5hIj7￥ 第二件￥Qq1Ww2Ee3Rr￥");
  const Text token = app::programValues().newShareToken;
  EXPECT_EQ(output, "第一件" + token + " 第二件" + token);
}

TEST_F(ConversionTest, AnUnknownTokenFallsBackToTheInput) {
  app::programValues().newShareToken = "￥Previous000￥";
  const Text input = "店铺口令 ￥Unknown1234￥ 快来";
  EXPECT_EQ(convert(input), input);
  EXPECT_EQ(fake.text("编辑框8"), kFallback);
  EXPECT_EQ(app::programValues().newShareToken, "￥Previous000￥");
}

TEST_F(ConversionTest, ANumericItemIdGoesIntoTheSecondCallAsDigits) {
  convert("￥Zx9Wv8Ut7Sr￥");
  EXPECT_TRUE(requested("num_iid=623456789012&"));
}

TEST_F(ConversionTest, PlaceholdersInsideTheDealTextAreFilledToo) {
  convert("备注#appkey#和#sid#￥Ab3dEf5hIj7￥");
  EXPECT_TRUE(requested("content=%E5%A4%87%E6%B3%A8demo-appkey%E5%92%8C123456"));
}

TEST_F(ConversionTest, AnAnswerWithoutTheNewTokenRemovesTheOldOnes) {
  fake.setText("编辑框5", "");  // the service creates no token without a pid
  EXPECT_EQ(convert("快抢￥Ab3dEf5hIj7￥好价"), "快抢好价");
  EXPECT_EQ(fake.text("编辑框8"), "转换完毕");
  EXPECT_EQ(app::programValues().newShareToken, "");
}

TEST_F(ConversionTest, CapitalJdTakesTheTaobaoRoad) {
  convert("JD 京东 ￥Ab3dEf5hIj7￥");
  EXPECT_TRUE(requested("/api/open_shangpin_id.ashx"));
  EXPECT_FALSE(requested("/cps/zl"));
}

TEST_F(ConversionTest, TheJdRoadConvertsWithTheUsersCookie) {
  fake.setText("编辑框13", "pt_key=AAJk; pt_pin=user");
  app::programValues().newShareToken = "￥Previous000￥";
  const auto start = fake.now;
  const Text output = convert("京东好物 https://item.jd.com/100012043978.html\r\n限时秒杀 \"爆款\"");
  EXPECT_EQ(output.find("https://item.jd.com"), Text::npos) << output;
  EXPECT_EQ(output.rfind("京东好物 https://u.jd.com/", 0), 0u) << output;
  EXPECT_NE(output.find("\r\n限时秒杀 \\\"爆款\\\""), Text::npos) << "only the \\r\\n escape is decoded";
  EXPECT_GE(fake.now - start, 1000u) << "a one-second wait follows the JD road";
  EXPECT_EQ(fake.text("编辑框8"), "转换完毕");
  EXPECT_EQ(app::programValues().newShareToken, "￥Previous000￥");
  EXPECT_TRUE(requested("[\"Cookie\",\"pt_key=AAJk; pt_pin=user\"]"));
  EXPECT_TRUE(requested("Chrome/50.0.2661.87 Safari/537.36"));
}

TEST_F(ConversionTest, TheJdRoadWithoutACookieGivesNothing) {
  fake.setText("编辑框13", "");
  EXPECT_EQ(convert("jd好物 https://item.jd.com/1.html"), "");
  EXPECT_EQ(fake.text("编辑框8"), "转换完毕");
}

}  // namespace
}  // namespace quellbo::convert
