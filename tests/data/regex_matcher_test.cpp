#include "data/regex_matcher.h"

#include <gtest/gtest.h>

#include "platform/text.h"

namespace quellbo::data {
namespace {

// The patterns as the program holds them.
const Text kTokenPattern = "[^u4e00-\\u9fa5]\\w{11}[^u4e00-\\u9fa5]";
const Text kImagePattern = "\\[CQ:image(.*?)jpg\\]";
const Text kJdPattern = "content#引号:#引号(.*?)#引号,#引号errCode";
const Text kCharsetPattern = "<meta.+?charset=[^\\w]?([-\\w]+)";

struct ReplaceCase {
  const char* what;
  Text subject;
  Text expected;
};

TEST(RegexMatcherTest, TokenPatternReplacesEveryTokenShapedPiece) {
  const Text token = "￥NewT0ken99x￥";
  const ReplaceCase cases[] = {
      {"full-width yen borders", "复制这条￥Ab3dEf7hIj9￥打开淘宝", "复制这条" + token + "打开淘宝"},
      {"euro borders", "复制€Ab3dEf7hIj9€打开", "复制€Ab3dEf7hIj9€打开"},
      {"parentheses", "券(Ab3dEf7hIj9)去", "券" + token + "去"},
      {"blanks", "go Ab3dEf7hIj9 now", "go" + token + "now"},
      {"twelve characters", "￥Ab3dEf7hIj9X￥", "￥Ab3dEf7hIj9X￥"},
      {"CJK neighbours", "券Ab3dEf7hIj9去", "券Ab3dEf7hIj9去"},
      {"one CJK neighbour", "券Ab3dEf7hIj9￥", "券Ab3dEf7hIj9￥"},
      {"Latin neighbours", "xAb3dEf7hIj9y", "xAb3dEf7hIj9y"},
      {"two tokens", "a ￥Ab3dEf7hIj9￥ b /Zz3dEf7hIj9/ c", "a " + token + " b " + token + " c"},
      // The LF before the word and the CR after it are its borders.
      {"word on its own line", "第一行\r\nAb3dEf7hIj9\r\n第三行", "第一行\r" + token + "\n第三行"},
      {"nothing token-shaped", "没有口令的文字", "没有口令的文字"},
      {"empty subject", "", ""},
  };
  for (const auto& c : cases) {
    RegexMatcher matcher;
    EXPECT_TRUE(matcher.search(kTokenPattern, c.subject)) << c.what;
    EXPECT_EQ(matcher.replace(token), c.expected) << c.what;
  }
}

TEST(RegexMatcherTest, ImagePatternRemovesImageCodesEndingInJpg) {
  const ReplaceCase cases[] = {
      {"two jpg codes", "好价[CQ:image,file=A1.jpg]速度[CQ:image,file=B2.jpg]冲", "好价速度冲"},
      // The shortest span runs from the png code to the end of the jpg code.
      {"png then jpg on one line", "a[CQ:image,file=1.png]b[CQ:image,file=2.jpg]c", "ac"},
      // A match never crosses a line feed, but it does cross a CR.
      {"png with the jpg on the next line", "a[CQ:image,file=1.png]b\r\n[CQ:image,file=2.jpg]c",
       "a[CQ:image,file=1.png]b\r\nc"},
      {"png alone", "a[CQ:image,file=1.png]b", "a[CQ:image,file=1.png]b"},
      {"another letter case", "a[cq:IMAGE,file=1.JPG]b", "ab"},
      {"no image code", "只有文字\r\n第二行", "只有文字\r\n第二行"},
  };
  for (const auto& c : cases) {
    RegexMatcher matcher;
    EXPECT_TRUE(matcher.search(kImagePattern, c.subject, false, true, true, true)) << c.what;
    EXPECT_EQ(matcher.replace(), c.expected) << c.what;
  }
}

TEST(RegexMatcherTest, JdPatternTakesTheContentMember) {
  struct Case {
    const char* what;
    Text answer;
    Text expected;
  };
  const Case cases[] = {
      {"content then errCode", "{\"content\":\"abc\",\"errCode\":0}", "abc"},
      {"Chinese content", "{\"content\":\"京东好价\\r\\nhttps://u.jd.com/x\",\"errCode\":0}",
       "京东好价\\r\\nhttps://u.jd.com/x"},
      {"member names in other letter case", "{\"CONTENT\":\"abc\",\"ErrCode\":0}", "abc"},
      {"two content members", "{\"content\":\"a\",\"content\":\"b\",\"errCode\":0}", "a\",\"content\":\"b"},
      {"no errCode after it", "{\"content\":\"abc\",\"code\":0}", ""},
      {"raw line feed in the content", "{\"content\":\"a\nb\",\"errCode\":0}", ""},
      {"empty answer", "", ""},
  };
  for (const auto& c : cases) {
    RegexMatcher matcher;
    EXPECT_TRUE(matcher.search(kJdPattern, c.answer, false, false, true, true)) << c.what;
    EXPECT_EQ(matcher.getSubMatch(1, 1), c.expected) << c.what;
  }
  // Without the option the markers stay in the pattern as they are.
  RegexMatcher matcher;
  EXPECT_TRUE(matcher.search(kJdPattern, "{\"content\":\"abc\",\"errCode\":0}", false, false, true, false));
  EXPECT_EQ(matcher.matchCount(), 0);
  EXPECT_EQ(matcher.getPattern(), kJdPattern);
}

TEST(RegexMatcherTest, CharsetPatternFindsTheDeclaredCharset) {
  struct Case {
    const char* what;
    Text head;
    Text expected;
  };
  const Case cases[] = {
      {"http-equiv tag", "<head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\"></head>", "gbk"},
      {"charset attribute", "<html><head><meta charset=\"utf-8\" /><title>t</title>", "utf-8"},
      {"upper case", "<HEAD><META CHARSET=UTF-8></HEAD>", "UTF-8"},
      {"no meta tag", "<html><head><title>x</title></head></html>", ""},
  };
  for (const auto& c : cases) {
    RegexMatcher matcher;
    EXPECT_TRUE(matcher.search(kCharsetPattern, c.head)) << c.what;
    EXPECT_EQ(matcher.getSubMatch(1, 1), c.expected) << c.what;
  }
}

TEST(RegexMatcherTest, CharsetTagAfterTheFirst1024BytesIsNotSeenInTheCutHead) {
  const Text page = "<html><head><!--" + Text(1100, '-') + "--><meta charset=\"gb2312\"></head>";
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.search(kCharsetPattern, platform::leftText(page, 1024)));
  EXPECT_EQ(matcher.getSubMatch(1, 1), "");
  ASSERT_TRUE(matcher.search(kCharsetPattern, page));
  EXPECT_EQ(matcher.getSubMatch(1, 1), "gb2312");
}

TEST(RegexMatcherTest, RefusedPatternGivesEmptyResults) {
  RegexMatcher matcher;
  EXPECT_FALSE(matcher.search("(abc", "abc abc"));
  EXPECT_EQ(matcher.matchCount(), 0);
  EXPECT_EQ(matcher.getMatch(1), "");
  EXPECT_EQ(matcher.getSubMatch(1, 1), "");
  EXPECT_EQ(matcher.subMatchCount(), 0);
  EXPECT_EQ(matcher.getPattern(), "");
  // The empty text, not the subject.
  EXPECT_EQ(matcher.replace("x"), "");
  // Nothing searched yet is the same.
  RegexMatcher fresh;
  EXPECT_EQ(fresh.replace("x"), "");
  EXPECT_EQ(fresh.getSubMatch(1, 1), "");
}

TEST(RegexMatcherTest, MatchesAndGroupsByOneBasedIndex) {
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.search("(\\d+)-(x)?", "12- 345-x"));
  EXPECT_EQ(matcher.matchCount(), 2);
  EXPECT_EQ(matcher.subMatchCount(), 2);
  EXPECT_EQ(matcher.getMatch(1), "12-");
  EXPECT_EQ(matcher.getMatch(2), "345-x");
  EXPECT_EQ(matcher.getSubMatch(2, 1), "345");
  EXPECT_EQ(matcher.getSubMatch(2, 2), "x");
  // A group that took no part, and indexes out of range.
  EXPECT_EQ(matcher.getSubMatch(1, 2), "");
  EXPECT_EQ(matcher.getSubMatch(3, 1), "");
  EXPECT_EQ(matcher.getSubMatch(1, 3), "");
  EXPECT_EQ(matcher.getSubMatch(1, 0), "");
  EXPECT_EQ(matcher.getMatch(0), "");
}

TEST(RegexMatcherTest, PositionsAreByteOffsetsInTheText) {
  // "中文" is four bytes and the emoji four more.
  const Text subject =
      "中文ab\x94\x39\xFC\x36"
      "cd=12";
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.search("cd=(\\d+)", subject));
  int position = -2;
  EXPECT_EQ(matcher.getMatch(1, &position), "cd=12");
  EXPECT_EQ(position, 10);
  EXPECT_EQ(matcher.getSubMatch(1, 1, &position), "12");
  EXPECT_EQ(position, 13);
  EXPECT_EQ(matcher.getSubMatch(2, 1, &position), "");
  EXPECT_EQ(position, -1);
}

TEST(RegexMatcherTest, EngineSemantics) {
  struct Case {
    const char* what;
    Text pattern;
    Text subject;
    bool caseSensitive;
    bool multiline;
    bool global;
    Text replacement;
    Text expected;
  };
  const Case cases[] = {
      {"global replaces all", "o", "foo boo", false, true, true, "0", "f00 b00"},
      {"not global replaces the first", "o", "foo boo", false, true, false, "0", "f0o boo"},
      {"replacement is literal", "b", "abc", false, true, true, "$&$1\\0", "a$&$1\\0c"},
      {"case ignored", "ABC", "xabcx", false, true, true, "-", "x-x"},
      {"case kept", "ABC", "xabcx", true, true, true, "-", "xabcx"},
      {"multiline anchors", "^b", "a\nb", false, true, true, "-", "a\n-"},
      {"single-line anchors", "^b", "a\nb", false, false, true, "-", "a\nb"},
      {"dollar only at the very end", "a$", "a\n", false, false, true, "-", "a\n"},
      {"dot spans CR", "a.b", "a\rb", false, true, true, "-", "-"},
      {"dot stops at LF", "a.b", "a\nb", false, true, true, "-", "a\nb"},
      {"\\w is ASCII", "\\w+", "中_x9", false, true, true, "-", "中-"},
      {"\\u is a code point", "\\u4e2d", "中文", false, true, true, "-", "-文"},
      {"ranges compare code points", "[\\u4e00-\\u9fa5]+", "ab中文cd", false, true, true, "-", "ab-cd"},
      {"empty matches end", "x*", "abc", false, true, true, "-", "-a-b-c-"},
      {"empty and full matches", "a*", "baac", false, true, true, "-", "-b--c-"},
      {"empty replacement deletes", "\\s+", "a b\tc", false, true, true, "", "abc"},
  };
  for (const auto& c : cases) {
    RegexMatcher matcher;
    ASSERT_TRUE(matcher.search(c.pattern, c.subject, c.caseSensitive, c.multiline, c.global)) << c.what;
    EXPECT_EQ(matcher.replace(c.replacement), c.expected) << c.what;
  }
}

TEST(RegexMatcherTest, EachSearchStartsAfreshAndCopiesKeepTheirs) {
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.search("(a)", "a"));
  const RegexMatcher copy = matcher;
  ASSERT_TRUE(matcher.search("(b)", "xyz"));
  EXPECT_EQ(matcher.matchCount(), 0);
  EXPECT_EQ(matcher.replace("-"), "xyz");
  EXPECT_EQ(copy.getSubMatch(1, 1), "a");
  EXPECT_EQ(copy.getPattern(), "(a)");
  EXPECT_FALSE(matcher.search("[", "a"));
  EXPECT_EQ(copy.replace("-"), "-");
}

}  // namespace
}  // namespace quellbo::data
