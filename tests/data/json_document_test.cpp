#include "data/json_document.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "data/script_engine.h"

namespace quellbo::data {
namespace {

// An answer of the coupon-link call, shaped as the service sends it.
const Text kCouponAnswer =
    "{\"tbk_privilege_get_response\":{\"result\":{\"data\":{\"category_id\":50012587,"
    "\"coupon_click_url\":\"https://uland.taobao.com/coupon/edetail?e=abc%3D&pid=mm_1_2_3\","
    "\"coupon_info\":\"满99元减20元\",\"item_id\":612345678901,\"max_commission_rate\":\"20.50\"}}},"
    "\"request_id\":\"15qz2ldy8cu9x\"}";

TEST(JsonDocumentTest, ReadsTheValuesTheProgramUses) {
  struct Case {
    Text answer;
    Text path;
    Text expected;
  };
  const Case cases[] = {
      {"{\"edition\":\"2.1\",\"address\":\"http://x/q.exe\"}", "edition", "2.1"},
      {"{\"edition\":\"2.1\",\"address\":\"http://x/q.exe\"}", "address", "http://x/q.exe"},
      {"{\"edition\":2.1}", "edition", "2.1"},
      // Numbers come back through "%.13g": up to 13 digits as they are.
      {"{\"item_id\":612345678901}", "item_id", "612345678901"},
      {"{\"item_id\":6123456789012}", "item_id", "6123456789012"},
      {"{\"item_id\":61234567890123}", "item_id", "6.123456789012e+13"},
      {"{\"item_id\":\"61234567890123\"}", "item_id", "61234567890123"},
      {"{\"model\":\"￥Ab3dEf7hIj9￥\"}", "model", "￥Ab3dEf7hIj9￥"},
      {kCouponAnswer, "['tbk_privilege_get_response'].result.data['coupon_click_url']",
       "https://uland.taobao.com/coupon/edetail?e=abc%3D&pid=mm_1_2_3"},
      {kCouponAnswer, "tbk_privilege_get_response.result.data.coupon_info", "满99元减20元"},
      // Missing, null, or missing on the way: the empty text.
      {"{\"item_id\":null}", "item_id", ""},
      {"{\"msg\":\"appkey error\"}", "item_id", ""},
      {"{\"msg\":\"x\"}", "['tbk_privilege_get_response'].result.data['coupon_click_url']", ""},
      {"{\"tbk_privilege_get_response\":{}}", "['tbk_privilege_get_response'].result.data['coupon_click_url']", ""},
  };
  for (const auto& c : cases) {
    JsonDocument document;
    EXPECT_TRUE(document.parse(c.answer)) << c.answer;
    EXPECT_EQ(document.getText(c.path), c.expected) << c.answer << " / " << c.path;
  }
}

TEST(JsonDocumentTest, TextThatIsNoExpressionLeavesNothingToRead) {
  const Text answers[] = {
      "<html><head><title>502 Bad Gateway</title></head><body>nginx</body></html>",
      "",
      "{\"item_id\":",
      "\"just a string\"",
  };
  for (const auto& answer : answers) {
    JsonDocument document;
    EXPECT_FALSE(document.parse(answer)) << answer;
    EXPECT_EQ(document.getText("item_id"), "") << answer;
    EXPECT_EQ(document.getText("['a'].b"), "") << answer;
    EXPECT_EQ(document.getType("item_id"), -1) << answer;
  }
}

TEST(JsonDocumentTest, TheAnswerIsEvaluatedNotValidated) {
  JsonDocument document;
  EXPECT_TRUE(document.parse("{edition: '2.2', 'address': 'http://x' /* note */}"));
  EXPECT_EQ(document.getText("edition"), "2.2");
  EXPECT_EQ(document.getText("address"), "http://x");
  EXPECT_TRUE(document.parse("[1, 2].concat([3])"));
  EXPECT_EQ(document.getCount(), 3);
}

TEST(JsonDocumentTest, EveryParseStartsAfresh) {
  JsonDocument document;
  ASSERT_TRUE(document.parse("{\"item_id\":\"1\",\"only_first\":\"yes\"}"));
  document.getEngine()->eval("var leftover = 'x'");
  ASSERT_TRUE(document.parse("{\"model\":\"m\"}"));
  EXPECT_EQ(document.getText("only_first"), "");
  EXPECT_EQ(document.getText("item_id"), "");
  EXPECT_EQ(document.getText("model"), "m");
  EXPECT_EQ(document.getEngine()->evalText("typeof leftover"), "undefined");
  EXPECT_FALSE(document.parse("nonsense("));
  EXPECT_EQ(document.getText("model"), "");
}

TEST(JsonDocumentTest, EngineHoldsTheLibraryGlobals) {
  JsonDocument document;
  auto engine = document.getEngine();
  ASSERT_TRUE(engine);
  EXPECT_EQ(engine->evalText("JSON.stringify(da)"), "{}");
  EXPECT_EQ(engine->evalText("get__count([4, 5, 6]) + ',' + get__count('abc') + ',' + get__count({length: 2})"),
            "3,0,2");
  EXPECT_EQ(engine->evalText("g_regexp.length + ',' + g_regexp.charCodeAt(0)"), "1,9216");
  EXPECT_EQ(engine->evalText("'a' + g_regexp + 'b' + g_regexp"),
            "a\x81\x37\x83\x30"
            "b\x81\x37\x83\x30");
  EXPECT_EQ(engine->evalText("('x' + g_regexp + g_regexp).replace(g_reg, '-')"), "x--");
  EXPECT_EQ(engine->evalText("Object.prototype.propertyIsEnumerable('toJSONString') && "
                             "Object.prototype.propertyIsEnumerable('parseJSON')"),
            "true");
  EXPECT_EQ(engine->evalText("({a: [1]}).toJSONString() + '|' + '{\"b\":2}'.parseJSON().b"), "{\"a\":[1]}|2");
}

TEST(JsonDocumentTest, TypeCodes) {
  JsonDocument document;
  ASSERT_TRUE(document.parse("{\"s\":\"x\",\"n\":1.5,\"t\":true,\"o\":{\"a\":1},\"a\":[1],\"z\":null}"));
  struct Case {
    Text path;
    int expected;
  };
  const Case cases[] = {
      {"s", 6},
      {"n", 2},
      {"t", 1},
      {"o", 4},
      {"a", 5},
      {"z", 0},
      {"missing", 0},
      {"o.a", 2},
      // A path that starts with "[" gives an expression the engine rejects.
      {"['s']", -1},
      {"missing.deeper", -1},
  };
  for (const auto& c : cases) EXPECT_EQ(document.getType(c.path), c.expected) << c.path;
}

TEST(JsonDocumentTest, GetTextAsJsonIsCompact) {
  JsonDocument document;
  ASSERT_TRUE(document.parse("{ \"o\" : { \"a\" : [ 1 , \"x y\" ] ,\r\n \"b\" : null } }"));
  EXPECT_EQ(document.getText("o", true), "{\"a\":[1,\"x y\"],\"b\":null}");
  EXPECT_EQ(document.getText("['o'].a", true), "[1,\"x y\"]");
  EXPECT_EQ(document.getJson("o.a"), "[1,\"x y\"]");
  EXPECT_EQ(document.getText("missing", true), "");
}

TEST(JsonDocumentTest, BackslashesSurviveSetValueAndSerialize) {
  JsonDocument document;
  document.setValue("path", "C:\\dir");
  EXPECT_EQ(document.serialize(), "{\"path\":\"C:\\dir\"}");
  // Inside the engine the backslash is held as U+2400.
  EXPECT_EQ(document.getText("path"),
            "C:\x81\x37\x83\x30"
            "dir");
  document.setValue("quoted", "it's \"q\"\r\nnext");
  EXPECT_EQ(document.getText("quoted"), "it's \"q\"\r\nnext");
  // Backslashes that came in through parse are escaped as usual.
  ASSERT_TRUE(document.parse("{\"p\":\"a\\\\b\"}"));
  EXPECT_EQ(document.serialize(), "{\"p\":\"a\\\\b\"}");
}

TEST(JsonDocumentTest, KeysLeaveOutTheLibraryMembers) {
  JsonDocument document;
  ASSERT_TRUE(document.parse("{\"a\":1,\"b\":{\"c\":2,\"d\":3}}"));
  TextList names = {"stale"};
  EXPECT_EQ(document.getKeys(names), 2);
  EXPECT_EQ(names, (TextList{"a", "b"}));
  EXPECT_EQ(document.getKeys(names, "b"), 2);
  EXPECT_EQ(names, (TextList{"c", "d"}));
  EXPECT_EQ(document.getKeys(names, "['b']"), 2);
  EXPECT_EQ(document.getKeys(names, "missing"), 0);
  EXPECT_TRUE(names.empty());
  EXPECT_EQ(document.getEngine()->evalText("ary"), "");
}

TEST(JsonDocumentTest, CountsOfArraysAndObjects) {
  JsonDocument document;
  ASSERT_TRUE(document.parse("{\"list\":[1,2,3],\"obj\":{\"length\":7},\"plain\":{\"x\":1},\"s\":\"abc\"}"));
  EXPECT_EQ(document.getCount("list"), 3);
  EXPECT_EQ(document.getCount("['list']"), 3);
  EXPECT_EQ(document.getCount("obj"), 7);
  EXPECT_EQ(document.getCount("plain"), 0);
  EXPECT_EQ(document.getCount("s"), 0);
  EXPECT_EQ(document.getCount("missing"), 0);
  EXPECT_EQ(document.getCount(), 0);
}

TEST(JsonDocumentTest, ArrayOperations) {
  JsonDocument document;
  document.appendItem("x", "list");
  document.appendItem("{\"k\":\"v\"}", "list", true);
  document.appendItem("2", "list", true);
  EXPECT_EQ(document.serialize(), "{\"list\":[\"x\",{\"k\":\"v\"},2]}");
  EXPECT_EQ(document.getItemText(0, "list"), "x");
  EXPECT_EQ(document.getItemText(1, "list", true), "{\"k\":\"v\"}");
  EXPECT_EQ(document.getItemObject(1, "list").getText("k"), "v");
  EXPECT_EQ(document.getItemText(5, "list"), "");

  document.removeElement("list[1]");
  EXPECT_EQ(document.serialize(), "{\"list\":[\"x\",2]}");

  document.create(5);
  document.appendItem("a");
  document.appendItem("b");
  document.setItem(0, "z");
  document.setItem(1, "[3]", true);
  EXPECT_EQ(document.serialize(), "[\"z\",[3]]");
  EXPECT_EQ(document.getCount(), 2);
  document.removeItem(0);
  EXPECT_EQ(document.serialize(), "[[3]]");
}

TEST(JsonDocumentTest, MemberOperations) {
  JsonDocument document;
  document.setNumber("n", 12.5);
  document.setJson("j", "{\"a\":[1,2]}");
  document.setValue("v", "{\"z\":1}", true);
  document.setValue("e", "", true);
  document.setValue("['w']", "via bracket");
  EXPECT_EQ(document.serialize(), "{\"n\":12.5,\"j\":{\"a\":[1,2]},\"v\":{\"z\":1},\"e\":{},\"w\":\"via bracket\"}");
  EXPECT_EQ(document.getNumber("n"), 12.5);
  EXPECT_EQ(document.getNumber("missing"), 0);
  EXPECT_TRUE(document.has("j.a"));
  EXPECT_FALSE(document.has("missing"));
  EXPECT_EQ(document.getObject("j").serialize(), "{\"a\":[1,2]}");
  EXPECT_EQ(document.getObject("['j'].a").getCount(), 2);

  document.remove("n");
  document.remove("['v']");
  EXPECT_EQ(document.serialize(), "{\"j\":{\"a\":[1,2]},\"e\":{},\"w\":\"via bracket\"}");

  document.setRoot("text");
  EXPECT_EQ(document.serialize(), "\"text\"");
  document.setRoot("[1]", true);
  EXPECT_EQ(document.serialize(), "[1]");
  document.clear();
  EXPECT_EQ(document.serialize(), "{}");
  document.create(5);
  EXPECT_EQ(document.serialize(), "[]");
  document.create(4);
  EXPECT_EQ(document.serialize(), "{}");
  document.create(7);
  EXPECT_EQ(document.serialize(), "{}");
}

TEST(JsonDocumentTest, CopiesShareTheEngineUntilTheNextParse) {
  JsonDocument document;
  ASSERT_TRUE(document.parse("{\"a\":\"1\"}"));
  JsonDocument copy = document;
  copy.setValue("b", "2");
  EXPECT_EQ(document.getText("b"), "2");
  EXPECT_EQ(copy.getEngine(), document.getEngine());
  ASSERT_TRUE(document.parse("{\"c\":\"3\"}"));
  EXPECT_EQ(copy.getText("a"), "1");
  EXPECT_EQ(document.getText("a"), "");
}

TEST(JsonDocumentTest, ChineseAndCharactersOutsideTheBmpRoundTrip) {
  const Text emoji = "\x94\x39\xFC\x36";
  JsonDocument document;
  ASSERT_TRUE(document.parse("{\"title\":\"本群专项优惠" + emoji + "\",\"escaped\":\"\\u4e2d\\ud83d\\ude00\"}"));
  EXPECT_EQ(document.getText("title"), "本群专项优惠" + emoji);
  EXPECT_EQ(document.getText("escaped"), "中" + emoji);
}

// Past a cap the answer is refused like any script error, within about the
// time cap (the bound leaves room for a loaded machine), and the next answer
// parses as usual.
TEST(JsonDocumentTest, HostileAnswersAreRefusedQuickly) {
  const Text deep = Text(100000, '[') + Text(100000, ']');
  const Text hugeString = "\"" + Text(10 << 20, 'a') + "\"";
  const Text cases[] = {
      "(function(){while(1){}})()",
      "(function(){var a=[];while(1){a.push(new Array(1000).join('x')+a.length)}})()",
      "(function f(n){return f(n+1)+1})(0)",
      deep,
      hugeString,
  };
  for (const auto& answer : cases) {
    JsonDocument document;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(document.parse(answer)) << answer.substr(0, 60);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << answer.substr(0, 60);
    EXPECT_EQ(document.getText("x"), "");
    ASSERT_TRUE(document.parse("{\"x\":\"ok\"}"));
    EXPECT_EQ(document.getText("x"), "ok");
  }
}

// A getter that never returns is stopped at every read.
TEST(JsonDocumentTest, HostileGetterIsStoppedAtEachRead) {
  JsonDocument document;
  ASSERT_TRUE(document.parse("{get item_id() { while (true) {} }, model: 'm'}"));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(document.getText("item_id"), "");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
  EXPECT_EQ(document.getText("model"), "m");
}

}  // namespace
}  // namespace quellbo::data
