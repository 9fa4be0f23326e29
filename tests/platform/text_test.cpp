#include "platform/text.h"

#include <gtest/gtest.h>

namespace quellbo::platform {
namespace {

// "中" is D6 D0 and "文" is CE C4: the byte pair D0 CE in "中文" must never
// be found, and a 4-byte GB18030 character is one unit too.
TEST(TextTest, FindNeverMatchesInsideACharacter) {
  struct Case {
    Text text;
    Text sub;
    int start;
    bool ignoreCase;
    int expected;
  };
  const Case cases[] = {
      {"abcabc", "bc", 1, false, 2},
      {"abcabc", "bc", 3, false, 5},
      {"abcabc", "BC", 1, false, -1},
      {"abcabc", "BC", 1, true, 2},
      {"abc", "c", 4, false, -1},
      {"abc", "", 1, false, 1},
      {"", "", 1, false, -1},
      {"中文", "\xD0\xCE", 1, false, -1},
      {"中文x文", "文", 1, false, 3},
      {"中文x文", "文", 4, false, 6},
      // A trail byte that looks like "a" (B0 61) is not folded by ignoreCase.
      {"\xB0\x61" "A", "A", 1, true, 3},
      {"\xB0\x61" "a", "A", 1, true, 3},
      // The 4-byte character 81 30 81 30 hides "0" twice.
      {"\x81\x30\x81\x30" "0", "0", 1, false, 5},
      // A lone lead byte at the end is a character of its own.
      {"ab\xD6", "\xD6", 1, false, 3},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(findText(c.text, c.sub, c.start, c.ignoreCase), c.expected) << c.text << " / " << c.sub;
  }
}

TEST(TextTest, FindReverseTakesTheLastOccurrenceInsideTheLimit) {
  EXPECT_EQ(findTextReverse("k: v: w", ": ", 8), 5);
  EXPECT_EQ(findTextReverse("k: v: w", ": ", 6), 2);
  EXPECT_EQ(findTextReverse("k: v: w", ": ", 2), -1);
  EXPECT_EQ(findTextReverse("中文", "\xD0\xCE", 5), -1);
  EXPECT_EQ(findTextReverse("文中文", "文", 5), 1);
  EXPECT_EQ(findTextReverse("文中文", "文"), 5);
}

TEST(TextTest, ReplaceAndSplitKeepCharactersWhole) {
  EXPECT_EQ(replaceText("a-b-c", "-", "+"), "a+b+c");
  EXPECT_EQ(replaceText("a-b-c", "-", "", 3), "a-bc");
  EXPECT_EQ(replaceText("a-b-c", "-", "=", 1, 1), "a=b-c");
  EXPECT_EQ(replaceText("aAa", "A", "x", 1, -1, false), "xxx");
  EXPECT_EQ(replaceText("中文", "\xD0\xCE", "!"), "中文");
  EXPECT_EQ(replaceText("", "a", "b"), "");
  EXPECT_EQ(replaceText("abc", "", "b"), "abc");

  struct Case {
    Text text;
    Text delimiter;
    TextList expected;
  };
  const Case cases[] = {
      {"a,b,c", ",", {"a", "b", "c"}},
      {"a,,b", ",", {"a", "", "b"}},
      {"a,b,", ",", {"a", "b"}},
      {",a", ",", {"", "a"}},
      {"", ",", {}},
      {"abc", "", {"abc"}},
      {"1】x2】y", "2】", {"1】x", "y"}},
      {"中文", "\xD0\xCE", {"中文"}},
  };
  for (const auto& c : cases) EXPECT_EQ(splitText(c.text, c.delimiter), c.expected) << c.text;
}

TEST(TextTest, CutsTrimsAndCompares) {
  EXPECT_EQ(leftText("abc", 2), "ab");
  EXPECT_EQ(leftText("abc", 9), "abc");
  EXPECT_EQ(leftText("abc", -1), "");
  EXPECT_EQ(rightText("abc", 2), "bc");
  EXPECT_EQ(midText("abcdef", 2, 3), "bcd");
  EXPECT_EQ(midText("abc", 0, 3), "");
  EXPECT_EQ(midText("abc", 4, 1), "");
  EXPECT_EQ(midText("abc", 3, 9), "c");
  EXPECT_EQ(trimText("  a b  "), "a b");
  EXPECT_EQ(trimText("\xA1\xA1 中 \xA1\xA1"), "中");
  EXPECT_EQ(trimText("\xA1\xA1"), "");
  EXPECT_EQ(trimText("\xB0\xA1"), "\xB0\xA1");
  EXPECT_EQ(toUpper("ab中c"), "AB中C");
  EXPECT_LT(compareText("a", "b"), 0);
  EXPECT_EQ(compareText("Location: ", "location: ", false), 0);
  EXPECT_NE(compareText("Location: ", "location: ", true), 0);
}

TEST(TextTest, ValuesBecomeText) {
  EXPECT_EQ(toText(true), "真");
  EXPECT_EQ(toText(false), "假");
  EXPECT_EQ(toText(42), "42");
  EXPECT_EQ(toText(2.1), "2.1");
  EXPECT_EQ(toText(123456789012.0), "123456789012");
  EXPECT_EQ(toText(1234567890123.0), "1234567890123");
  EXPECT_EQ(toText(12345678901234.0), "1.234567890123e+13");
  EXPECT_EQ(toText(Bytes{'a', 'b', 0, 'c'}), "ab");
  EXPECT_EQ(toBytes(Text("ab")), (Bytes{'a', 'b'}));
  EXPECT_EQ(toHexText(255), "FF");
  EXPECT_EQ(toHexText(0), "0");
  EXPECT_EQ(toHexText(-1), "FFFFFFFF");
  EXPECT_EQ(charCode("\xD6", 1), -42);
  EXPECT_EQ(charCode("a", 2), 0);
  EXPECT_EQ(charFromCode(65), "A");
  EXPECT_EQ(blankText(3), "   ");
  EXPECT_EQ(blankBytes(-1), Bytes{});
}

TEST(TextTest, NumbersAreReadFromTheLead) {
  struct Case {
    Text text;
    double number;
  };
  const Case cases[] = {
      {"2.1", 2.1},       {"2.10", 2.1},     {"", 0},          {"abc", 0},       {" 12abc", 12},
      {"-3.5", -3.5},     {"１２", 12},      {"２.２", 2.2},   {"1e3", 1000},    {"+7", 7},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(toNumber(c.text), c.number) << c.text;
  EXPECT_EQ(toInt("3.9"), 3);
  EXPECT_EQ(toInt("-3.9"), -3);
  EXPECT_EQ(toInt("x"), 0);
}

TEST(TextTest, ByteBuffersClamp) {
  const Bytes b{1, 2, 3};
  EXPECT_EQ(bytesLength(b), 3);
  EXPECT_EQ(leftBytes(b, 5), b);
  EXPECT_EQ(midBytes(b, 2, 5), (Bytes{2, 3}));
  EXPECT_EQ(midBytes(b, 4, 1), Bytes{});
  const char raw[] = "xyz";
  EXPECT_EQ(bytesFromAddress(raw, 2), (Bytes{'x', 'y'}));
}

}  // namespace
}  // namespace quellbo::platform
