#include "data/script_engine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace quellbo::data {
namespace {

// GB18030 bytes of characters used below.
const Text kEmoji = "\x94\x39\xFC\x36";        // U+1F600, outside the BMP
const Text kReplacement = "\x84\x31\xA4\x37";  // U+FFFD

TEST(ScriptEngineTest, GlobalScopePersistsBetweenCalls) {
  ScriptEngine engine;
  ASSERT_TRUE(engine.isValid());
  EXPECT_TRUE(engine.addCode("var a = 40; function twice(x) { return 2 * x; }"));
  EXPECT_TRUE(engine.eval("var b = 2"));
  EXPECT_EQ(engine.evalText("a + b"), "42");
  EXPECT_EQ(engine.evalText("twice(b)"), "4");
  // A statement list gives the value of its last expression statement.
  EXPECT_EQ(engine.evalText("var s = ''; for (var k in {x: 1, y: 2}) { s = s + k; }"), "xy");
}

TEST(ScriptEngineTest, ValuesReadAsText) {
  struct Case {
    Text code;
    Text expected;
  };
  const Case cases[] = {
      {"'abc'", "abc"},
      {"1.5 * 2", "3"},
      {"1e21", "1e+21"},
      {"true", "true"},
      {"undefined", ""},
      {"null", ""},
      {"[1, 'a']", "1,a"},
      {"({})", "[object Object]"},
      {"'中文'", "中文"},
      {"'中文'.length", "2"},
      // Failures of every kind give the empty text.
      {"1 +", ""},
      {"noSuchName", ""},
      {"null.x", ""},
      {"throw 'x'", ""},
  };
  ScriptEngine engine;
  for (const auto& c : cases) EXPECT_EQ(engine.evalText(c.code), c.expected) << c.code;
}

TEST(ScriptEngineTest, ValuesReadAsNumbersAndTruths) {
  struct Case {
    Text code;
    double number;
    bool truth;
  };
  const Case cases[] = {
      {"12.25", 12.25, true}, {"'7'", 7, true},  {"'abc'", 0, true}, {"''", 0, false},  {"true", 1, true},
      {"null", 0, false},     {"({})", 0, true}, {"0", 0, false},    {"1 +", 0, false}, {"noSuchName", 0, false},
  };
  ScriptEngine engine;
  for (const auto& c : cases) {
    EXPECT_EQ(engine.evalNumber(c.code), c.number) << c.code;
    EXPECT_EQ(engine.evalTruth(c.code), c.truth) << c.code;
  }
}

TEST(ScriptEngineTest, CharactersOutsideTheBmpSurviveTheRoundTrip) {
  ScriptEngine engine;
  // Inside the engine the emoji is a surrogate pair, as ECMAScript wants.
  EXPECT_EQ(engine.evalText("'" + kEmoji + "'.length"), "2");
  EXPECT_EQ(engine.evalText("'a" + kEmoji + "b'"), "a" + kEmoji + "b");
  EXPECT_EQ(engine.evalText("String.fromCharCode(0xD83D, 0xDE00)"), kEmoji);
  // A lone surrogate has no Text form.
  EXPECT_EQ(engine.evalText("'x' + String.fromCharCode(0xD83D) + 'y'"), "x" + kReplacement + "y");
}

TEST(ScriptEngineTest, Cesu8Conversions) {
  struct Case {
    std::string utf8;
    std::string cesu8;
  };
  const Case cases[] = {
      {"abc", "abc"},
      {"\xE4\xB8\xAD", "\xE4\xB8\xAD"},
      {"\xF0\x9F\x98\x80", "\xED\xA0\xBD\xED\xB8\x80"},
      {"a\xF4\x8F\xBF\xBFz", "a\xED\xAF\xBF\xED\xBF\xBFz"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(utf8ToCesu8(c.utf8), c.cesu8) << c.utf8;
    EXPECT_EQ(cesu8ToUtf8(c.cesu8), c.utf8) << c.utf8;
  }
  // Lone or reversed surrogates become U+FFFD; broken bytes pass through.
  EXPECT_EQ(cesu8ToUtf8("\xED\xA0\xBD"
                        "a"),
            "\xEF\xBF\xBD"
            "a");
  EXPECT_EQ(cesu8ToUtf8("\xED\xB8\x80\xED\xA0\xBD"), "\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(cesu8ToUtf8("\xED\xA0"), "\xED\xA0");
  EXPECT_EQ(utf8ToCesu8("\xF0\x9F"), "\xF0\x9F");
}

TEST(ScriptEngineTest, BytecodeRunsInAnotherEngine) {
  ScriptEngine compiler;
  const Bytes bytecode = compiler.compileProgram("function triple(x) { return 3 * x; } var seen = 'yes';");
  ASSERT_FALSE(bytecode.empty());
  ScriptEngine engine;
  EXPECT_TRUE(engine.runBytecode(bytecode));
  EXPECT_EQ(engine.evalText("triple(5) + seen"), "15yes");
  EXPECT_TRUE(compiler.compileProgram("function (").empty());
  EXPECT_FALSE(engine.runBytecode({}));
}

// The caps are the behaviour here, so the durations are checked.
TEST(ScriptEngineTest, HostileCodeStopsAtTheCapsAndTheEngineStaysUsable) {
  const Text cases[] = {
      "while (true) {}",
      "(function () { try { while (1) {} } catch (e) { while (1) {} } })()",
      "for (;;) { try { /(a+)+$/.test('aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa!'); } catch (e) {} }",
      "var a = []; while (true) { a.push('some text ' + a.length); }",
      "var s = 'x'; while (true) { s = s + s; }",
      "(function f(n) { return f(n + 1) + 1; })(0)",
      // Native loops that run no bytecode.
      "new Array(100000000).indexOf(1)",
      "for (;;) { try { Array.prototype.lastIndexOf.call({length: 4e9}, 1); } catch (e) {} }",
  };
  constexpr std::size_t kCap = std::size_t{8} << 20;
  ScriptEngine engine(kCap, 200);
  for (const auto& code : cases) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(engine.addCode(code)) << code;
    // 0.2 s of cap; the bound leaves room for a loaded machine.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << code;
    EXPECT_LE(engine.memoryInUse(), kCap);
    EXPECT_EQ(engine.evalText("1 + 1"), "2") << "after " << code;
  }
}

}  // namespace
}  // namespace quellbo::data
