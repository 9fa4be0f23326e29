#include "net/header_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace quellbo::net {
namespace {

// "中" is D6 D0 and "文" is CE C4, so "中文" hides the pair D0 CE, which no
// marker may match.
constexpr const char* kHiddenPair = "\xD0\xCE";

TEST(HeaderTextTest, NormalizeHeaderNames) {
  struct Case {
    Text block;
    Text expected;
  };
  const Case cases[] = {
      {"user-agent: x", "User-Agent: x"},
      {"accept-encoding:gbk", "Accept-Encoding:gbk"},
      {"cache-control", ""},
      {"a-b-c: 1\r\nno colon\r\n", "A-B-C: 1"},
      {"", ""},
      {"\r\n\r\n", ""},
      {"host: a:b\r\ncookie: x=1\r\n", "Host: a:b\r\nCookie: x=1"},
      // Values and the blanks around the colon are never touched.
      {"x-forwarded-for : for-me", "X-Forwarded-For : for-me"},
      {"k:value-in-lower", "K:value-in-lower"},
      // Dashes at either end or doubled stay where they are.
      {"a-: x", "A-: x"},
      {"-a: x", "-A: x"},
      {"a--b: v", "A--B: v"},
      {": x", ": x"},
      {"1st-x: y", "1st-X: y"},
      // A name that starts with a double-byte character keeps its bytes.
      {"中-文: x", "中-文: x"},
      // Only CR LF breaks a line.
      {"a: 1\rb: 2\nc: 3", "A: 1\rb: 2\nc: 3"},
      {"a: 1\r\n\xD6", "A: 1"},
  };
  for (const auto& c : cases) EXPECT_EQ(normalizeHeaderNames(c.block), c.expected) << c.block;

  EXPECT_EQ(capitalizeFirst(""), "");
  EXPECT_EQ(capitalizeFirst("a"), "A");
  EXPECT_EQ(capitalizeFirst("abc"), "Abc");
  EXPECT_EQ(capitalizeFirst("Abc"), "Abc");
  EXPECT_EQ(capitalizeFirst("\xB0\x61"), "\xB0\x61");
}

TEST(HeaderTextTest, GetHeaderValue) {
  struct Case {
    Text block;
    Text name;
    Text expected;
  };
  const Case cases[] = {
      {"Connection: keep-alive", "Connection", "keep-alive"},
      {"connection: keep-alive", "Connection", ""},
      {"Host: a\r\nConnection: close\r\n", "Connection", "close"},
      {"Set-Cookie: a=1\r\nSet-Cookie: b=2", "Set-Cookie", "a=1"},
      // The first line that starts with the name decides, even when it is a
      // longer name that holds no "name: ".
      {"ConnectionX: 1\r\nConnection: 2", "Connection", ""},
      {"Connection:close", "Connection", ""},
      {"Connection: ", "Connection", ""},
      // What follows the last "name: " of the line.
      {"X: a X: b", "X", "b"},
      {"", "Connection", ""},
      {"Host: a", "Host-Name-Longer-Than-The-Line", ""},
      {"Content-Type: text/html; charset=gbk", "Content-Type", "text/html; charset=gbk"},
      {"Title: 中文", "Title", "中文"},
  };
  for (const auto& c : cases) EXPECT_EQ(getHeaderValue(c.block, c.name), c.expected) << c.block << " / " << c.name;
}

TEST(HeaderTextTest, TextAfterMarker) {
  struct Case {
    Text text;
    Text marker;
    int pos;
    bool ignoreCase;
    Text expected;
  };
  const Case cases[] = {
      {"k: v: w", ": ", 0, false, "w"},
      {"k: v: w", ": ", -1, false, "v: w"},
      {"k: v: w", ": ", -3, false, "w"},
      // pos >= 0 keeps the last pos bytes out of the search.
      {"k: v: w", ": ", 1, false, "v: w"},
      {"k: v: w", ": ", 7, false, ""},
      {"k: v: w", ": ", 100, false, ""},
      {"k: v: w", ": ", -100, false, ""},
      {"k: v: w", ": ", INT_MIN, false, ""},
      {"k: v: w", ": ", INT_MAX, false, ""},
      // The default never takes a marker on the last byte.
      {"a=", "=", 0, false, ""},
      {"a=b", "=", 0, false, "b"},
      {"a=b=", "=", 0, false, "b="},
      {"Key: a; KEY: b", "key: ", 0, true, "b"},
      {"Key: a; KEY: b", "key: ", 0, false, ""},
      {"中文=文", "文", 0, false, "=文"},
      {"中文", kHiddenPair, 0, false, ""},
      {"", "a", 0, false, ""},
      {"ab", "abc", 0, false, ""},
      {"ab", "abc", -1, false, ""},
      {"a\xD6", "\xD6", -1, false, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(textAfterMarker(c.text, c.marker, c.pos, c.ignoreCase), c.expected)
        << c.text << " / " << c.marker << " / " << c.pos;
  }
}

TEST(HeaderTextTest, TextBeforeMarker) {
  struct Case {
    Text text;
    Text marker;
    int pos;
    bool ignoreCase;
    Text expected;
  };
  const Case cases[] = {
      {"Set-Cookie: a", ": ", 0, false, "Set-Cookie"},
      {"Set-Cookie", ": ", 0, false, ""},
      {"a:b:c", ":", 0, false, "a"},
      {"a:b:c", ":", 1, false, "a"},
      {"a:b:c", ":", 3, false, "a:b"},
      {"a:b:c", ":", 9, false, ""},
      // pos < 0 searches backwards; -1 counts as 0.
      {"a:b:c", ":", -1, false, "a:b"},
      {"a:b:", ":", -1, false, "a"},
      {"a:b:c", ":", -2, false, "a"},
      {"a:b:c", ":", -5, false, ""},
      {"a:b:c", ":", INT_MIN, false, ""},
      {"xAy", "a", 0, true, "x"},
      {"xAy", "a", 0, false, ""},
      {"中文x", kHiddenPair, 0, false, ""},
      {"中文x文", "文", -1, false, "中"},
      {"中文x文y", "文", -1, false, "中文x"},
      {"", ":", 0, false, ""},
      {"ab", "abc", 0, false, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(textBeforeMarker(c.text, c.marker, c.pos, c.ignoreCase), c.expected)
        << c.text << " / " << c.marker << " / " << c.pos;
  }
}

TEST(HeaderTextTest, TextBetween) {
  struct Case {
    Text text;
    Text left;
    Text right;
    int pos;
    bool ignoreCase;
    Text expected;
  };
  const Case cases[] = {
      {"Set-Cookie: a=1; path=/", "Set-Cookie:", ";", 0, false, " a=1"},
      {"x=\"v\";", "=#引号", "#引号", 0, false, "v"},
      {"\"content\":\"a#b\"", "#引号content#引号:#引号", "#引号", 0, false, "a#b"},
      {"ab", "a", "b", 0, false, ""},
      {"ab", "b", "x", 0, false, ""},
      {"ab", "x", "b", 0, false, ""},
      // The right marker is searched after the left one.
      {"a]b[c]", "[", "]", 0, false, "c"},
      {"[1][2]", "[", "]", 2, false, "2"},
      {"[1][2]", "[", "]", -5, false, "1"},
      {"[1][2]", "[", "]", 99, false, ""},
      {"<A>x</a>", "<a>", "</A>", 0, true, "x"},
      {"<A>x</a>", "<a>", "</A>", 0, false, ""},
      {"中文中文", kHiddenPair, "中", 0, false, ""},
      {"【群消息】【123】", "【", "】", 3, false, "123"},
      {"", "a", "b", 0, false, ""},
      {"ab", "abc", "b", 0, false, ""},
      {"a\xD6", "a", "\xD6", 0, false, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(textBetween(c.text, c.left, c.right, c.pos, c.ignoreCase), c.expected)
        << c.text << " / " << c.left << " / " << c.right;
  }
}

TEST(HeaderTextTest, CookieItems) {
  EXPECT_EQ(cookieName("a=1"), "a");
  EXPECT_EQ(cookieName(" a =1=2"), "a");
  EXPECT_EQ(cookieName("flag"), "flag");
  EXPECT_EQ(cookieName("=x"), "");
  EXPECT_EQ(cookieName("\xA1\xA1名=1"), "名");

  const TextList items = {"a=1", " b =2", "c", "a=3"};
  EXPECT_TRUE(hasCookieName(items, "b"));
  EXPECT_TRUE(hasCookieName(items, "c"));
  EXPECT_FALSE(hasCookieName(items, "B"));
  EXPECT_FALSE(hasCookieName({}, ""));

  EXPECT_EQ(findItem(items, "a=1"), 1);
  EXPECT_EQ(findItem(items, "a=3"), 4);
  EXPECT_EQ(findItem(items, "a"), -1);
  EXPECT_EQ(findItem({}, ""), -1);
  EXPECT_EQ(findItem({"x", ""}, ""), 2);

  struct Case {
    Text text;
    Text separator;
    Text expected;
  };
  const Case cases[] = {
      {"a; b; a; c; b", "; ", "a; b; c"},
      {"a,,a,", ",", "a,"},
      {"", "; ", ""},
      {"x", "", "x"},
      {"a=1; a=1 ", "; ", "a=1; a=1 "},
      {"中文,中文,中", ",", "中文,中"},
  };
  for (const auto& c : cases) EXPECT_EQ(removeDuplicateItems(c.text, c.separator), c.expected) << c.text;
}

TEST(HeaderTextTest, MergeCookies) {
  struct Case {
    Text oldCookies;
    Text newCookies;
    Text expected;
  };
  const Case cases[] = {
      {"a=1; b=2", "b=3; c=deleted; d=4", "b=3; d=4; a=1"},
      {"a=1; c=7", "c=deleted", "a=1"},
      {"a=1; a=2; b=3", "", "a=1; b=3"},
      {"a=1;", "", "a=1"},
      {"SID=1", "sid=2", "sid=2; SID=1"},
      {"", "x=1; x=2", "x=1; x=2"},
      {"", "x=1; x=1", "x=1"},
      {"", "", ""},
      {"a=deleted; b=1", "", "b=1"},
      {"a =1", " a=2 ", "a=2"},
      {"flag; a=1", "flag", "flag; a=1"},
      {"  a=1;  ", "b=2;", "b=2; a=1"},
      {"名=旧; k=1", "名=新", "名=新; k=1"},
      {"\xA1\xA1"
       "a=1\xA1\xA1",
       "", "a=1"},
      // Empty items collapse to one, which may be the last.
      {"", "a=1; ; ;", "a=1; "},
      {"", "; ; a=1", "; a=1"},
  };
  for (const auto& c : cases) {
    Text oldCookies = c.oldCookies;
    Text newCookies = c.newCookies;
    EXPECT_EQ(mergeCookies(oldCookies, newCookies), c.expected) << c.oldCookies << " / " << c.newCookies;
    EXPECT_EQ(oldCookies, c.expected) << c.oldCookies << " / " << c.newCookies;
  }
}

TEST(HeaderTextTest, MergeCookiesRewritesBothArguments) {
  Text oldCookies = " a=1; b=2 ";
  Text newCookies = " b=3; ";
  EXPECT_EQ(mergeCookies(oldCookies, newCookies), "b=3; a=1");
  EXPECT_EQ(oldCookies, "b=3; a=1");
  // The new argument is trimmed and its final ";" gets its blank back.
  EXPECT_EQ(newCookies, "b=3; ");
}

// The shapes that break naive byte code: nothing, a cut character at the end,
// bytes that start no character, a marker longer than the text.
TEST(HeaderTextTest, BadInputGivesPlainResults) {
  const Text texts[] = {"", "\xD6", "a\x81", "\x81\x30", "\xFF\x80", "; ;", "=", "\r\n", "\r", ":", "#引号"};
  const Text markers[] = {"", "\xD6", "\x81\x30\x81\x30", "; ", "=", ":", "#引号", "a longer marker than any text"};
  for (const Text& text : texts) {
    EXPECT_LE(normalizeHeaderNames(text).size(), text.size());
    EXPECT_LE(capitalizeFirst(text).size(), text.size());
    EXPECT_LE(cookieName(text).size(), text.size());
    EXPECT_LE(removeDuplicateItems(text, "; ").size(), text.size());
    for (const Text& marker : markers) {
      for (int pos : {0, 1, -1, -2, 3, INT_MAX, INT_MIN}) {
        EXPECT_LE(textAfterMarker(text, marker, pos).size(), text.size());
        EXPECT_LE(textBeforeMarker(text, marker, pos).size(), text.size());
        EXPECT_LE(textBetween(text, marker, marker, pos).size(), text.size());
      }
      EXPECT_LE(getHeaderValue(text, marker).size(), text.size());
      Text oldCookies = text;
      Text newCookies = marker;
      EXPECT_LE(mergeCookies(oldCookies, newCookies).size(), text.size() + marker.size() + 4);
    }
  }
  Text lone = "a\xD6";
  Text cut = "b=\x81\x30";
  EXPECT_EQ(mergeCookies(lone, cut), "b=\x81\x30; a\xD6");
}

TEST(HeaderTextTest, MegabyteTexts) {
  // A cookie text of 100 000 items: a quadratic merge would not finish.
  const int count = 100000;
  Text oldCookies;
  Text newCookies;
  Text expected;
  Text kept;
  for (int i = 0; i < count; ++i) {
    const std::string n = std::to_string(i);
    oldCookies += "old" + n + "=v" + n + "; ";
    // Every other old cookie is set again by the server, every fourth deleted.
    if (i % 2 == 0) {
      const bool deleted = i % 4 == 0;
      newCookies += "old" + n + (deleted ? "=deleted; " : "=w; ");
      if (!deleted) expected += "old" + n + "=w; ";
    } else {
      kept += "old" + n + "=v" + n + "; ";
    }
  }
  expected += kept;
  expected.resize(expected.size() - 2);
  ASSERT_GT(oldCookies.size(), 1000000u);
  // EXPECT_TRUE: a failure must not print a megabyte.
  EXPECT_TRUE(mergeCookies(oldCookies, newCookies) == expected);

  Text repeated;
  for (int i = 0; i < count; ++i) repeated += "x=1; y=2; ";
  EXPECT_EQ(removeDuplicateItems(repeated, "; "), "x=1; y=2");

  Text big(1 << 20, 'a');
  const Text block = "Host: h\r\n" + big + ": v\r\nlast-name: " + big + "\xD6";
  const Text normalized = normalizeHeaderNames(block);
  EXPECT_EQ(normalized.size(), block.size());
  EXPECT_EQ(normalized.substr(0, 9), "Host: h\r\n");
  EXPECT_TRUE(getHeaderValue(block, "last-name") == big + "\xD6");
  EXPECT_TRUE(textBetween("<" + big + ">", "<", ">") == big);
  EXPECT_EQ(textAfterMarker(big + "=1", "="), "1");
  EXPECT_TRUE(textBeforeMarker(big + "=1", "=", -1) == big);
  EXPECT_EQ(textBetween(big, big + "a", "a"), "");
}

}  // namespace
}  // namespace quellbo::net
