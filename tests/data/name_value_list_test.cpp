#include "data/name_value_list.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace quellbo::data {
namespace {

using Pairs = std::vector<std::pair<Text, Text>>;

Pairs pairsOf(const NameValueList& list) {
  TextList names;
  TextList values;
  list.getNames(names);
  list.getValues(values);
  Pairs pairs;
  for (std::size_t i = 0; i < names.size() && i < values.size(); ++i) pairs.emplace_back(names[i], values[i]);
  EXPECT_EQ(names.size(), values.size());
  return pairs;
}

NameValueList listOf(const Pairs& pairs) {
  NameValueList list;
  for (const auto& [name, value] : pairs) list.add(name, value);
  return list;
}

TEST(NameValueListTest, Renders) {
  struct Case {
    Pairs pairs;
    Text query;
    Text header;
    Text json;
  };
  const Case cases[] = {
      {{}, "", "", "{}"},
      {{{"User-Agent", "Mozilla/5.0 (X11)"}},
       "User-Agent=Mozilla/5.0 (X11)",
       "User-Agent: Mozilla/5.0 (X11)",
       "{\"User-Agent\":\"Mozilla/5.0 (X11)\"}"},
      {{{"a", "1"}, {"b", "2"}}, "a=1&b=2", "a: 1\r\nb: 2", "{\"a\":\"1\",\"b\":\"2\"}"},
      {{{"a", ""}, {"", "2"}}, "a=&=2", "a: \r\n: 2", "{\"a\":\"\",\"\":\"2\"}"},
      // Only the double quote is escaped, and only in values.
      {{{"k", "a\"b\\c"}}, "k=a\"b\\c", "k: a\"b\\c", "{\"k\":\"a\\\"b\\c\"}"},
      {{{"名", "中文"}}, "名=中文", "名: 中文", "{\"名\":\"中文\"}"},
      {{{"k", ","}}, "k=,", "k: ,", "{\"k\":\",\"}"},
  };
  for (const auto& c : cases) {
    const NameValueList list = listOf(c.pairs);
    EXPECT_EQ(list.toQueryText(), c.query);
    EXPECT_EQ(list.toHeaderText(), c.header);
    EXPECT_EQ(list.toJsonText(), c.json);
  }
}

TEST(NameValueListTest, RendersEncodedValues) {
  const NameValueList list = listOf({{"q k", "a b/中"}, {"n", "x_y~z-1.0"}});
  EXPECT_EQ(list.toQueryText(true), "q k=a%20b%2F%D6%D0&n=x%5Fy%7Ez-1.0");
  EXPECT_EQ(list.toHeaderText(true), "q k: a%20b%2F%D6%D0\r\nn: x%5Fy%7Ez-1.0");
  EXPECT_EQ(NameValueList().toQueryText(true), "");
}

TEST(NameValueListTest, ParseQuery) {
  struct Case {
    Text text;
    Pairs expected;
  };
  const Case cases[] = {
      {"x=1&y=a=b", {{"x", "1"}, {"y", "b"}}},
      {"", {}},
      {"a=1&", {{"a", "1"}}},
      {"a=1&&b=2", {{"a", "1"}, {"", ""}, {"b", "2"}}},
      // No "=": both empty. "=" on the last byte: an empty value.
      {"flag&b=", {{"", ""}, {"b", ""}}},
      {"=v", {{"", "v"}}},
      {"a=b=", {{"a", "b="}}},
      {"名=中文&k=\xD6", {{"名", "中文"}, {"k", "\xD6"}}},
  };
  for (const auto& c : cases) {
    NameValueList list;
    list.parseQuery(c.text);
    EXPECT_EQ(pairsOf(list), c.expected) << c.text;
  }

  NameValueList converted;
  converted.parseQuery("k=中&n=1", true);
  EXPECT_EQ(pairsOf(converted), Pairs({{"k", "\xE4\xB8\xAD"}, {"n", "1"}}));

  NameValueList appended = listOf({{"old", "1"}});
  appended.parseQuery("new=2");
  EXPECT_EQ(pairsOf(appended), Pairs({{"old", "1"}, {"new", "2"}}));
}

TEST(NameValueListTest, LookupsTakeTheFirstPair) {
  NameValueList list = listOf({{"a", "1"}, {"b", "2"}, {"a", "3"}});
  EXPECT_EQ(list.get("a"), "1");
  EXPECT_EQ(list.get("b"), "2");
  EXPECT_EQ(list.get("A"), "");
  EXPECT_EQ(list.get("missing"), "");

  list.set("a", "9");
  EXPECT_EQ(pairsOf(list), Pairs({{"a", "9"}, {"b", "2"}, {"a", "3"}}));
  list.set("c", "4");
  EXPECT_EQ(pairsOf(list), Pairs({{"a", "9"}, {"b", "2"}, {"a", "3"}, {"c", "4"}}));

  list.remove("a");
  EXPECT_EQ(pairsOf(list), Pairs({{"b", "2"}, {"a", "3"}, {"c", "4"}}));
  list.remove("missing");
  EXPECT_EQ(pairsOf(list), Pairs({{"b", "2"}, {"a", "3"}, {"c", "4"}}));

  list.clear();
  EXPECT_EQ(pairsOf(list), Pairs());
  EXPECT_EQ(list.toQueryText(), "");
}

TEST(NameValueListTest, AddConvertsOnlyWhenAsked) {
  NameValueList list;
  list.add("k", "中");
  list.add("k2", "中", true);
  EXPECT_EQ(list.get("k"), "中");
  EXPECT_EQ(list.get("k2"), "\xE4\xB8\xAD");
  // set never converts.
  list.set("k2", "中");
  EXPECT_EQ(list.get("k2"), "中");
}

TEST(NameValueListTest, GettersReplaceTheCallersArrays) {
  const NameValueList list = listOf({{"a", "1"}, {"b", "2"}});
  TextList names = {"stale", "stale", "stale"};
  TextList values = {"stale"};
  EXPECT_EQ(list.getNames(names), TextList({"a", "b"}));
  EXPECT_EQ(names, TextList({"a", "b"}));
  EXPECT_EQ(list.getValues(values), TextList({"1", "2"}));
  EXPECT_EQ(values, TextList({"1", "2"}));
}

TEST(NameValueListTest, CopiesAreIndependent) {
  const NameValueList original = listOf({{"a", "1"}});
  NameValueList copy = original;
  copy.set("a", "2");
  copy.add("b", "3");
  EXPECT_EQ(pairsOf(original), Pairs({{"a", "1"}}));
  EXPECT_EQ(pairsOf(copy), Pairs({{"a", "2"}, {"b", "3"}}));
}

TEST(NameValueListTest, UrlEncode) {
  struct Case {
    Text text;
    bool keepPlain;
    bool asUtf8;
    Text expected;
  };
  const Case cases[] = {
      {"", true, false, ""},
      {"", true, true, ""},
      {"a b中", true, false, "a%20b%D6%D0"},
      {"a b中", false, false, "%61%20%62%D6%D0"},
      {"AZaz09-.", true, false, "AZaz09-."},
      {"_~/+&=%", true, false, "%5F%7E%2F%2B%26%3D%25"},
      {"中", true, true, "%E4%B8%AD"},
      {"\n\x01", true, false, "%0A%01"},
      {"\xD6", true, false, "%D6"},
      {"\xD6", true, true, "%EF%BF%BD"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NameValueList::urlEncode(c.text, c.keepPlain, c.asUtf8), c.expected) << c.text;
  }
}

TEST(NameValueListTest, EscapeQuotesAndTrimAffix) {
  EXPECT_EQ(NameValueList::escapeQuotes("a\"b\"\""), "a\\\"b\\\"\\\"");
  EXPECT_EQ(NameValueList::escapeQuotes("\\\""), "\\\\\"");
  EXPECT_EQ(NameValueList::escapeQuotes("no quotes \\n"), "no quotes \\n");
  EXPECT_EQ(NameValueList::escapeQuotes(""), "");

  struct Case {
    Text text;
    Text affix;
    Text expected;
  };
  const Case cases[] = {
      {"a,", ",", "a"},
      {",a,", ",", "a"},
      {",a", ",", "a"},
      {",", ",", ""},
      {",,", ",", ""},
      {",,,", ",", ","},
      {"a", "", "a"},
      {"abc", "abcd", "abc"},
      {"", ",", ""},
      {"--x--", "--", "x"},
      // D0 is the second byte of "中" (D6 D0): not an affix there.
      {"中", "\xD0", "中"},
      {"中文", "文", "中"},
  };
  for (const auto& c : cases) {
    Text text = c.text;
    EXPECT_EQ(NameValueList::trimAffix(text, c.affix), c.expected) << c.text << " / " << c.affix;
    EXPECT_EQ(text, c.expected) << c.text << " / " << c.affix;
  }
}

TEST(NameValueListTest, LargeAndBadInput) {
  const Text big(1 << 20, 'v');
  NameValueList list;
  list.add("k", big + "\xD6");
  list.add("\xD6", "\x81\x30");
  // EXPECT_TRUE: a failure must not print a megabyte.
  EXPECT_TRUE(list.toHeaderText() == "k: " + big + "\xD6\r\n\xD6: \x81\x30");
  EXPECT_TRUE(list.toQueryText(true) == "k=" + big + "%D6&\xD6=%810");
  EXPECT_TRUE(list.toJsonText() == "{\"k\":\"" + big + "\xD6\",\"\xD6\":\"\x81\x30\"}");

  Text query;
  for (int i = 0; i < 100000; ++i) query += "k=" + std::to_string(i) + "&";
  NameValueList parsed;
  parsed.parseQuery(query);
  TextList values;
  parsed.getValues(values);
  ASSERT_EQ(values.size(), 100000u);
  EXPECT_EQ(values.back(), "99999");
  EXPECT_EQ(parsed.get("k"), "0");
}

}  // namespace
}  // namespace quellbo::data
