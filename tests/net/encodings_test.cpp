#include "net/encodings.h"

#include <gtest/gtest.h>

#include <string_view>

namespace quellbo::net {
namespace {

// Hex escapes are not touched by the execution character set, so they spell
// exact bytes whatever the compiler does with other literals.
Bytes bytes(std::string_view s) { return Bytes(s.begin(), s.end()); }

// Little-endian UTF-16 units, as the conversions take and give them.
Bytes le(std::u16string_view units) {
  Bytes out;
  for (char16_t u : units) {
    out.push_back(static_cast<unsigned char>(u & 0xFF));
    out.push_back(static_cast<unsigned char>(u >> 8));
  }
  return out;
}

Bytes withNul(Bytes b) {
  b.push_back(0);
  b.push_back(0);
  return b;
}

constexpr std::string_view kZhongWenUtf8 = "\xE4\xB8\xAD\xE6\x96\x87";
constexpr std::string_view kZhongWenGbk = "\xD6\xD0\xCE\xC4";
// U+1F600, which code page 936 cannot hold: four bytes in GB18030.
constexpr std::string_view kEmojiUtf8 = "\xF0\x9F\x98\x80";
constexpr std::string_view kEmojiGb = "\x94\x39\xFC\x36";
// U+FFFD in GB18030.
constexpr std::string_view kReplacementGb = "\x84\x31\xA4\x37";

TEST(EncodingsTest, Utf8ToGbk) {
  struct Case {
    std::string_view name;
    std::string_view utf8;
    std::string_view expected;
  };
  const Case cases[] = {
      {"empty", "", ""},
      {"ascii", "abc", "abc"},
      {"two characters", kZhongWenUtf8, kZhongWenGbk},
      {"stops at a zero byte", std::string_view("a\0\xE4\xB8\xAD", 5), "a"},
      {"emoji survives", "x\xF0\x9F\x98\x80y", "x\x94\x39\xFC\x36y"},
      // Invalid sequences become U+FFFD and the rest goes on.
      {"lone lead byte at the end", "a\xE4", "a\x84\x31\xA4\x37"},
      {"truncated in the middle", "a\xE4\xB8z", "a\x84\x31\xA4\x37z"},
      {"stray continuation byte", "\x80z", "\x84\x31\xA4\x37z"},
      {"encoded surrogate", "\xED\xA0\x80", "\x84\x31\xA4\x37\x84\x31\xA4\x37\x84\x31\xA4\x37"},
  };
  for (const auto& c : cases) EXPECT_EQ(utf8ToGbk(bytes(c.utf8)), Text(c.expected)) << c.name;
}

TEST(EncodingsTest, EmojiRoundTripsThroughTheNationalCodePage) {
  const Text gb = utf8ToGbk(bytes(kEmojiUtf8));
  EXPECT_EQ(gb, Text(kEmojiGb));
  EXPECT_EQ(gbkToUtf8(gb), Text(kEmojiUtf8));
  EXPECT_EQ(utf16ToGbk(gbkToUtf16(gb)), gb);
  EXPECT_EQ(gbkToUtf8(Text(kZhongWenGbk)), Text(kZhongWenUtf8));
}

TEST(EncodingsTest, GbkToUtf16AddsOneNulUnit) {
  struct Case {
    std::string_view name;
    Text text;
    Bytes expected;
  };
  const Case cases[] = {
      {"empty gives no unit", "", {}},
      {"one byte", "A", {0x41, 0x00, 0x00, 0x00}},
      {"two characters", Text(kZhongWenGbk), withNul(le(u"\u4E2D\u6587"))},
      {"four-byte character is a surrogate pair", Text(kEmojiGb), withNul(le(u"\U0001F600"))},
      {"stops at a zero byte", Text("A\0B", 3), {0x41, 0x00, 0x00, 0x00}},
      {"lone lead byte at the end", "a\xD6", withNul(le(u"a\uFFFD"))},
      {"invalid byte",
       "a\xFF"
       "b",
       withNul(le(u"a\uFFFDb"))},
      // A cut four-byte character: its lead byte is bad, the digit after it
      // is a character of its own, as the text services count them.
      {"cut four-byte character at the end", "a\x81\x30",
       withNul(le(u"a\uFFFD"
                  u"0"))},
      {"cut four-byte character, three bytes", "\x81\x30\x81",
       withNul(le(u"\uFFFD"
                  u"0\uFFFD"))},
      {"cut four-byte character inside", "\x81\x30\x81\x41",
       withNul(le(u"\uFFFD"
                  u"0\u4E04"))},
      {"four-byte code beyond the table is one character",
       "\xFE\x39\xFE\x39"
       "a",
       withNul(le(u"\uFFFDa"))},
  };
  for (const auto& c : cases) EXPECT_EQ(gbkToUtf16(c.text), c.expected) << c.name;
}

TEST(EncodingsTest, Utf16ToGbk) {
  struct Case {
    std::string_view name;
    Bytes data;
    Text expected;
  };
  const Case cases[] = {
      {"empty", {}, ""},
      {"no NUL unit", {0x41, 0x00, 0x42, 0x00}, "AB"},
      {"stops at the NUL unit", {0x41, 0x00, 0x00, 0x00, 0x42, 0x00}, "A"},
      {"odd last byte ignored", {0x41, 0x00, 0x42}, "A"},
      {"one byte only", {0x41}, ""},
      {"two characters", le(u"\u4E2D\u6587"), Text(kZhongWenGbk)},
      {"surrogate pair", le(u"\U0001F600"), Text(kEmojiGb)},
      // A lone surrogate cannot be encoded: a question mark per unit.
      {"lone lead surrogate at the end", le(u"a\xD800"), "a?"},
      {"lone trail surrogate", le(u"\xDC00z"), "?z"},
      // Base character and combining mark become the precomposed character.
      {"e with combining acute", le(u"e\u0301"), "\xA8\xA6"},
      {"composition chains", le(u"e\u0302\u0301"), utf8ToGbk(bytes("\xE1\xBA\xBF"))},
      {"mark with no precomposed form stays", le(u"x\u0301"), Text("x") + utf8ToGbk(bytes("\xCC\x81"))},
      // A compatibility ideograph that GBK holds (FE 40) keeps its bytes.
      {"compatibility ideograph kept", le(u"\uFA0C"), "\xFE\x40"},
      // A composition exclusion is not decomposed.
      {"excluded composite kept", le(u"\u0958"), utf8ToGbk(bytes("\xE0\xA5\x98"))},
  };
  for (const auto& c : cases) EXPECT_EQ(utf16ToGbk(c.data), c.expected) << c.name;
}

TEST(EncodingsTest, EveryGbkCharacterRoundTrips) {
  // All two-byte codes of GBK: lead 81..FE, trail 40..7E and 80..FE.
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const Text ch{static_cast<char>(lead), static_cast<char>(trail)};
      ASSERT_EQ(utf16ToGbk(gbkToUtf16(ch)), ch) << std::hex << lead << ' ' << trail;
      ASSERT_EQ(utf8ToGbk(bytes(gbkToUtf8(ch))), ch) << std::hex << lead << ' ' << trail;
    }
  }
}

TEST(EncodingsTest, CodePageConversions) {
  EXPECT_EQ(textToUtf16("", kCodePageNational), Bytes({0x00, 0x00}));
  EXPECT_EQ(textToUtf16(Text(kZhongWenGbk), kCodePageNational), withNul(le(u"\u4E2D\u6587")));
  EXPECT_EQ(textToUtf16(Text(kZhongWenUtf8), kCodePageUtf8), withNul(le(u"\u4E2D\u6587")));
  EXPECT_EQ(textToUtf16("\xE9", 1252), withNul(le(u"\u00E9")));
  EXPECT_EQ(textToUtf16("abc", -5), Bytes({0x00, 0x00}));

  EXPECT_EQ(utf16ToText(le(u"\u4E2D\u6587"), kCodePageUtf8), Text(kZhongWenUtf8));
  EXPECT_EQ(utf16ToText(le(std::u16string_view(u"ab\0cd", 5)), kCodePageUtf8), "ab");
  EXPECT_EQ(utf16ToText(le(u"\u00E9\u4E2D"), 1252), "\xE9?");
  EXPECT_EQ(utf16ToText({}, kCodePageUtf8), "");
  EXPECT_EQ(utf16ToText(le(u"ab"), 0), "");

  EXPECT_EQ(gbkToUtf8("\xD6\xD0"), "\xE4\xB8\xAD");
  EXPECT_EQ(gbkToUtf8(""), "");
  EXPECT_EQ(gbkToUtf8("a\xD6"), "a\xEF\xBF\xBD");
}

TEST(EncodingsTest, ConvertCharset) {
  struct Case {
    std::string_view name;
    std::string_view data;
    Text from;
    Text to;
    std::string_view expected;
  };
  const Case cases[] = {
      {"defaults", kZhongWenUtf8, "", "", kZhongWenGbk},
      {"UTF-8 in lower case", kZhongWenUtf8, "utf-8", "GBK", kZhongWenGbk},
      {"GBK to UTF-8", kZhongWenGbk, "gbk", "UTF-8", kZhongWenUtf8},
      // 81 40 is in GBK but not in GB2312: pages that say gb2312 mean GBK.
      {"gb2312 means GBK", "\x81\x40", "gb2312", "UTF-8", "\xE4\xB8\x82"},
      {"gb2312 spelt otherwise", "\x81\x40", "GB_2312-80", "utf8", "\xE4\xB8\x82"},
      {"big5", "\xA4\xA4\xA4\xE5", "big5", "GBK", kZhongWenGbk},
      {"iso-8859-1", "caf\xE9", "ISO-8859-1", "UTF-8", "caf\xC3\xA9"},
      {"windows-1252", "\x80", "windows-1252", "utf-8", "\xE2\x82\xAC"},
      {"unencodable becomes a question mark", kZhongWenUtf8, "UTF-8", "windows-1252", "??"},
      {"emoji survives into GBK", kEmojiUtf8, "UTF-8", "GBK", kEmojiGb},
      {"invalid input goes on",
       "a\xFF"
       "b",
       "UTF-8", "UTF-8",
       "a\xEF\xBF\xBD"
       "b"},
      {"cut GBK character at the end", "a\x81\x30", "GBK", "UTF-8",
       "a\xEF\xBF\xBD"
       "0"},
      {"zero bytes pass", std::string_view("a\0b", 3), "UTF-8", "GBK", std::string_view("a\0b", 3)},
      {"unknown from-charset", "abc", "no-such-charset", "GBK", ""},
      {"unknown to-charset", "abc", "UTF-8", "no-such-charset", ""},
      {"name with a zero byte", "abc", Text("UTF-8\0x", 7), "GBK", ""},
      {"empty data", "", "UTF-8", "GBK", ""},
  };
  for (const auto& c : cases) {
    Text from = c.from;
    Text to = c.to;
    EXPECT_EQ(convertCharset(bytes(c.data), from, to), bytes(c.expected)) << c.name;
  }
}

TEST(EncodingsTest, ConvertCharsetWritesItsDefaultsBack) {
  Text from;
  Text to;
  EXPECT_EQ(convertCharset(bytes(kZhongWenUtf8), from, to), bytes(kZhongWenGbk));
  EXPECT_EQ(from, "UTF-8");
  EXPECT_EQ(to, "GBK");

  Text keptFrom = "big5";
  Text keptTo = "utf-8";
  convertCharset({}, keptFrom, keptTo);
  EXPECT_EQ(keptFrom, "big5");
  EXPECT_EQ(keptTo, "utf-8");

  EXPECT_EQ(convertCharset(bytes(kZhongWenUtf8)), bytes(kZhongWenGbk));
}

TEST(EncodingsTest, BoundaryHelpersNeverFail) {
  EXPECT_EQ(toUtf8(Text(kZhongWenGbk)), kZhongWenUtf8);
  EXPECT_EQ(fromUtf8(kZhongWenUtf8), Text(kZhongWenGbk));
  EXPECT_EQ(toUtf16(Text(kZhongWenGbk)), u"\u4E2D\u6587");
  EXPECT_EQ(fromUtf16(u"\u4E2D\u6587"), Text(kZhongWenGbk));
  EXPECT_EQ(fromUtf8(kEmojiUtf8), Text(kEmojiGb));
  // The helpers keep zero bytes: they convert buffers, not C strings.
  EXPECT_EQ(toUtf8(Text("a\0b", 3)), std::string("a\0b", 3));

  EXPECT_EQ(toUtf8("a\xD6"), "a\xEF\xBF\xBD");
  EXPECT_EQ(toUtf16("a\x81\x30"),
            u"a\uFFFD"
            u"0");
  EXPECT_EQ(fromUtf8("a\xC3"), Text("a") + Text(kReplacementGb));
  EXPECT_EQ(fromUtf16(u"a\xD800"), "a?");
  EXPECT_EQ(toUtf8(""), "");
  EXPECT_EQ(fromUtf16(u""), "");
}

TEST(EncodingsTest, MegabyteTextsConvertWhole) {
  Text gb;
  for (int i = 0; i < 250000; ++i) gb += kZhongWenGbk;
  gb += "\xD6";  // a lone lead byte at the very end

  const Text utf8 = gbkToUtf8(gb);
  ASSERT_EQ(utf8.size(), 250000u * 6 + 3);
  EXPECT_EQ(utf8.substr(utf8.size() - 3), "\xEF\xBF\xBD");

  const Text back = utf8ToGbk(bytes(utf8));
  // EXPECT_TRUE: a failure must not print a megabyte.
  EXPECT_TRUE(back.substr(0, gb.size() - 1) == gb.substr(0, gb.size() - 1));
  EXPECT_EQ(back.substr(gb.size() - 1), Text(kReplacementGb));

  const Bytes utf16 = gbkToUtf16(gb);
  ASSERT_EQ(utf16.size(), (500000u + 1 + 1) * 2);
  EXPECT_TRUE(utf16ToGbk(utf16) == back);

  Text from = "GBK";
  Text to = "UTF-8";
  EXPECT_TRUE(convertCharset(bytes(gb), from, to) == bytes(utf8));
}

}  // namespace
}  // namespace quellbo::net
