#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quellbo {

// Bytes in GB18030 (a superset of code page 936 with the same bytes for every
// GBK character). Positions are 1-based and count bytes.
using Text = std::string;

// A length and that many bytes; UTF-16 buffers hold little-endian units.
using Bytes = std::vector<unsigned char>;

using TextList = std::vector<Text>;

}  // namespace quellbo

namespace quellbo::platform {

// Byte length of the character that starts at index i (0-based) of text: 1, 2
// or 4. A lone lead byte at the end, or an invalid sequence, counts as 1.
int charLength(const Text& text, std::size_t i);

// First occurrence of sub at or after start that begins on a character, -1 if
// none. An empty sub is found at start (-1 on an empty range).
int findText(const Text& text, const Text& sub, int start = 1, bool ignoreCase = false);
// Last occurrence lying wholly in the first start-1 bytes; start < 0 means the
// end of the text (so the whole text is searched).
int findTextReverse(const Text& text, const Text& sub, int start = -1, bool ignoreCase = false);
// Occurrences from start replaced, at most count (count < 0: all).
Text replaceText(const Text& text, const Text& sub, const Text& replacement = "", int start = 1,
                 int count = -1, bool caseSensitive = true);
// Pieces between delimiters; empty pieces kept except a last one.
TextList splitText(const Text& text, const Text& delimiter = ",", int count = -1);

Text leftText(const Text& text, int n);
Text rightText(const Text& text, int n);
Text midText(const Text& text, int start, int n);
int textLength(const Text& text);
// Strips ASCII blanks and the full-width blank (A1 A1) at both ends.
Text trimText(const Text& text);
Text toUpper(const Text& text);
int compareText(const Text& a, const Text& b, bool caseSensitive = true);

Text toText(long long value);
Text toText(int value);
Text toText(double value);
Text toText(bool value);
Text toText(const Bytes& bytes);
Bytes toBytes(const Text& text);
Bytes toBytes(std::int32_t value);
double toNumber(const Text& text);
long long toInt(const Text& text);
Text toHexText(long long value);

Text charFromCode(int code);
int charCode(const Text& text, int pos = 1);
Text blankText(int n);
Bytes blankBytes(int n);

int bytesLength(const Bytes& bytes);
Bytes leftBytes(const Bytes& bytes, int n);
Bytes midBytes(const Bytes& bytes, int start, int n);
Bytes bytesFromAddress(const void* address, int n);

}  // namespace quellbo::platform
