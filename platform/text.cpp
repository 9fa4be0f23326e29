#include "platform/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace quellbo::platform {

namespace {

unsigned char byteAt(const Text& text, std::size_t i) { return static_cast<unsigned char>(text[i]); }

bool isAsciiLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

unsigned char foldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }

// Does sub stand in text at i (a character start)? With ignoreCase only
// one-byte characters of the text are folded, never the trail byte of a
// double-byte one that happens to look like a letter.
bool matchesAt(const Text& text, std::size_t i, const Text& sub, bool ignoreCase) {
  if (i + sub.size() > text.size()) return false;
  if (!ignoreCase) return std::memcmp(text.data() + i, sub.data(), sub.size()) == 0;
  std::size_t k = 0;
  while (k < sub.size()) {
    const std::size_t len = static_cast<std::size_t>(charLength(text, i + k));
    if (len == 1) {
      const unsigned char a = byteAt(text, i + k);
      const unsigned char b = byteAt(sub, k);
      if (a != b && !(isAsciiLetter(a) && foldAscii(a) == foldAscii(b))) return false;
      ++k;
      continue;
    }
    const std::size_t n = std::min(len, sub.size() - k);
    if (std::memcmp(text.data() + i + k, sub.data() + k, n) != 0) return false;
    k += n;
  }
  return true;
}

// Index (0-based) of the first character start at or after `from`, walking
// from the character start `boundary` <= from.
std::size_t alignForward(const Text& text, std::size_t boundary, std::size_t from) {
  while (boundary < from && boundary < text.size()) boundary += static_cast<std::size_t>(charLength(text, boundary));
  return boundary;
}

// 0-based index of the first character-aligned occurrence at or after the
// character start `from`, or npos.
std::size_t findAligned(const Text& text, const Text& sub, std::size_t from, bool ignoreCase) {
  if (!ignoreCase) {
    std::size_t boundary = from;
    std::size_t pos = text.find(sub, from);
    while (pos != Text::npos) {
      boundary = alignForward(text, boundary, pos);
      if (boundary == pos) return pos;
      pos = text.find(sub, boundary);
    }
    return Text::npos;
  }
  for (std::size_t i = from; i + sub.size() <= text.size(); i += static_cast<std::size_t>(charLength(text, i))) {
    if (matchesAt(text, i, sub, true)) return i;
  }
  return Text::npos;
}

}  // namespace

int charLength(const Text& text, std::size_t i) {
  if (i >= text.size()) return 1;
  const unsigned char lead = byteAt(text, i);
  if (lead < 0x81 || lead == 0xFF) return 1;
  if (i + 1 >= text.size()) return 1;
  const unsigned char second = byteAt(text, i + 1);
  if ((second >= 0x40 && second <= 0x7E) || (second >= 0x80 && second <= 0xFE)) return 2;
  if (second >= 0x30 && second <= 0x39 && i + 3 < text.size()) {
    const unsigned char third = byteAt(text, i + 2);
    const unsigned char fourth = byteAt(text, i + 3);
    if (third >= 0x81 && third <= 0xFE && fourth >= 0x30 && fourth <= 0x39) return 4;
  }
  return 1;
}

int findText(const Text& text, const Text& sub, int start, bool ignoreCase) {
  if (start < 1) start = 1;
  if (static_cast<std::size_t>(start) > text.size()) return -1;
  if (sub.empty()) return 1;
  const std::size_t from = alignForward(text, 0, static_cast<std::size_t>(start - 1));
  const std::size_t pos = findAligned(text, sub, from, ignoreCase);
  return pos == Text::npos ? -1 : static_cast<int>(pos) + 1;
}

int findTextReverse(const Text& text, const Text& sub, int start, bool ignoreCase) {
  const std::size_t limit =
      start < 0 ? text.size() : std::min(text.size(), static_cast<std::size_t>(std::max(start - 1, 0)));
  if (sub.empty()) return text.empty() ? -1 : 1;
  int last = -1;
  for (std::size_t i = 0; i + sub.size() <= limit; i += static_cast<std::size_t>(charLength(text, i))) {
    if (matchesAt(text, i, sub, ignoreCase)) last = static_cast<int>(i) + 1;
  }
  return last;
}

Text replaceText(const Text& text, const Text& sub, const Text& replacement, int start, int count,
                 bool caseSensitive) {
  if (text.empty() || sub.empty()) return text;
  if (start < 1) start = 1;
  if (static_cast<std::size_t>(start) > text.size()) return text;
  Text out;
  out.reserve(text.size());
  std::size_t from = alignForward(text, 0, static_cast<std::size_t>(start - 1));
  out.append(text, 0, from);
  int done = 0;
  while (count < 0 || done < count) {
    const std::size_t pos = findAligned(text, sub, from, !caseSensitive);
    if (pos == Text::npos) break;
    out.append(text, from, pos - from);
    out += replacement;
    from = pos + sub.size();
    ++done;
  }
  out.append(text, from, Text::npos);
  return out;
}

TextList splitText(const Text& text, const Text& delimiter, int count) {
  TextList pieces;
  if (text.empty() || count == 0) return pieces;
  if (delimiter.empty()) {
    pieces.push_back(text);
    return pieces;
  }
  std::size_t from = 0;
  for (;;) {
    const std::size_t pos = findAligned(text, delimiter, from, false);
    if (pos == Text::npos) {
      if (from < text.size()) pieces.push_back(text.substr(from));
      break;
    }
    pieces.push_back(text.substr(from, pos - from));
    from = pos + delimiter.size();
  }
  if (count > 0 && pieces.size() > static_cast<std::size_t>(count)) pieces.resize(static_cast<std::size_t>(count));
  return pieces;
}

Text leftText(const Text& text, int n) {
  if (n <= 0) return {};
  return text.substr(0, std::min(text.size(), static_cast<std::size_t>(n)));
}

Text rightText(const Text& text, int n) {
  if (n <= 0) return {};
  const std::size_t len = std::min(text.size(), static_cast<std::size_t>(n));
  return text.substr(text.size() - len);
}

Text midText(const Text& text, int start, int n) {
  if (n <= 0 || start < 1 || static_cast<std::size_t>(start) > text.size()) return {};
  return text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(n));
}

int textLength(const Text& text) { return static_cast<int>(text.size()); }

Text trimText(const Text& text) {
  std::size_t begin = 0;
  std::size_t end = 0;  // one past the last kept character
  bool seenKept = false;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t len = static_cast<std::size_t>(charLength(text, i));
    const bool blank = (len == 1 && text[i] == ' ') ||
                       (len == 2 && byteAt(text, i) == 0xA1 && byteAt(text, i + 1) == 0xA1);
    if (!blank) {
      if (!seenKept) begin = i;
      seenKept = true;
      end = i + len;
    }
    i += len;
  }
  return seenKept ? text.substr(begin, end - begin) : Text{};
}

Text toUpper(const Text& text) {
  Text out = text;
  for (std::size_t i = 0; i < out.size(); i += static_cast<std::size_t>(charLength(out, i))) {
    if (out[i] >= 'a' && out[i] <= 'z') out[i] = static_cast<char>(out[i] - 32);
  }
  return out;
}

int compareText(const Text& a, const Text& b, bool caseSensitive) {
  const Text& x = caseSensitive ? a : toUpper(a);
  const Text& y = caseSensitive ? b : toUpper(b);
  const int c = x.compare(y);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

Text toText(long long value) { return std::to_string(value); }

Text toText(int value) { return std::to_string(value); }

Text toText(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.13g", value);
  return buffer;
}

Text toText(bool value) { return value ? "真" : "假"; }

Text toText(const Bytes& bytes) {
  const auto end = std::find(bytes.begin(), bytes.end(), 0);
  return Text(bytes.begin(), end);
}

Bytes toBytes(const Text& text) { return Bytes(text.begin(), text.end()); }

Bytes toBytes(std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  return Bytes{static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v >> 16),
               static_cast<unsigned char>(v >> 24)};
}

double toNumber(const Text& text) {
  // Full-width digits (A3 B0 .. A3 B9) read as half-width ones.
  std::string plain;
  plain.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t len = static_cast<std::size_t>(charLength(text, i));
    if (len == 2 && byteAt(text, i) == 0xA3 && byteAt(text, i + 1) >= 0xB0 && byteAt(text, i + 1) <= 0xB9) {
      plain += static_cast<char>('0' + (byteAt(text, i + 1) - 0xB0));
    } else {
      plain.append(text, i, len);
    }
    i += len;
  }
  std::size_t i = plain.find_first_not_of(" \t\r\n");
  if (i == std::string::npos) return 0;
  bool negative = false;
  if (plain[i] == '+' || plain[i] == '-') {
    negative = plain[i] == '-';
    ++i;
  }
  double value = 0;
  const char* first = plain.data() + i;
  const char* last = plain.data() + plain.size();
  // from_chars ignores the locale, so "2.1" means 2.1 under every LC_NUMERIC.
  const auto result = std::from_chars(first, last, value, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    value = std::numeric_limits<double>::infinity();
  } else if (result.ec != std::errc{}) {
    return 0;
  }
  return negative ? -value : value;
}

long long toInt(const Text& text) {
  const double value = std::trunc(toNumber(text));
  if (std::isnan(value)) return 0;
  if (value >= 9.2e18) return std::numeric_limits<long long>::max();
  if (value <= -9.2e18) return std::numeric_limits<long long>::min();
  return static_cast<long long>(value);
}

Text toHexText(long long value) {
  char buffer[32];
  if (value < 0 && value >= std::numeric_limits<std::int32_t>::min()) {
    std::snprintf(buffer, sizeof buffer, "%X", static_cast<unsigned>(static_cast<std::int32_t>(value)));
  } else {
    std::snprintf(buffer, sizeof buffer, "%llX", static_cast<unsigned long long>(value));
  }
  return buffer;
}

Text charFromCode(int code) { return Text(1, static_cast<char>(static_cast<unsigned char>(code))); }

int charCode(const Text& text, int pos) {
  if (pos < 1 || static_cast<std::size_t>(pos) > text.size()) return 0;
  return static_cast<signed char>(text[static_cast<std::size_t>(pos - 1)]);
}

Text blankText(int n) { return n <= 0 ? Text{} : Text(static_cast<std::size_t>(n), ' '); }

Bytes blankBytes(int n) { return n <= 0 ? Bytes{} : Bytes(static_cast<std::size_t>(n), 0); }

int bytesLength(const Bytes& bytes) { return static_cast<int>(bytes.size()); }

Bytes leftBytes(const Bytes& bytes, int n) {
  if (n <= 0) return {};
  return Bytes(bytes.begin(), bytes.begin() + static_cast<long>(std::min(bytes.size(), static_cast<std::size_t>(n))));
}

Bytes midBytes(const Bytes& bytes, int start, int n) {
  if (n <= 0 || start < 1 || static_cast<std::size_t>(start) > bytes.size()) return {};
  const std::size_t from = static_cast<std::size_t>(start - 1);
  const std::size_t len = std::min(bytes.size() - from, static_cast<std::size_t>(n));
  return Bytes(bytes.begin() + static_cast<long>(from), bytes.begin() + static_cast<long>(from + len));
}

Bytes bytesFromAddress(const void* address, int n) {
  if (address == nullptr || n <= 0) return {};
  const auto* p = static_cast<const unsigned char*>(address);
  return Bytes(p, p + n);
}

}  // namespace quellbo::platform
