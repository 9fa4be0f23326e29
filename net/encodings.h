#pragma once

#include <string>
#include <string_view>

#include "platform/text.h"

namespace quellbo::net {

// Code page numbers that the conversions take.
inline constexpr int kCodePageNational = 936;  // held as GB18030 here
inline constexpr int kCodePageUtf8 = 65001;

// UTF-8 bytes -> Text, up to an embedded zero. Invalid UTF-8 becomes U+FFFD.
Text utf8ToGbk(const Bytes& data);
// Text -> UTF-16LE with one terminating NUL unit; "" gives empty Bytes.
Bytes gbkToUtf16(const Text& text);
// UTF-16LE (up to the first NUL unit) -> Text.
Text utf16ToGbk(const Bytes& data);
// Text decoded with codePage -> UTF-16LE with a NUL unit ("" gives the unit alone).
Bytes textToUtf16(const Text& text, int codePage);
// UTF-16LE (up to the first NUL unit) encoded with codePage.
Text utf16ToText(const Bytes& data, int codePage);
// Text -> a Text holding the UTF-8 bytes of the same characters.
Text gbkToUtf8(const Text& text);
// Re-encodes data from one charset to another, passing through the national
// code page. Empty charsets become "UTF-8" and "GBK" and are written back. An
// unknown charset gives empty Bytes.
Bytes convertCharset(const Bytes& data, Text& fromCharset, Text& toCharset);
Bytes convertCharset(const Bytes& data);

// Boundary helpers for the libraries that speak Unicode (Qt, PCRE2, Duktape,
// the file system). They never fail: what cannot be converted becomes U+FFFD
// on the way in and "?" on the way out.
std::string toUtf8(const Text& text);
Text fromUtf8(std::string_view utf8);
std::u16string toUtf16(const Text& text);
Text fromUtf16(std::u16string_view utf16);

}  // namespace quellbo::net
