#include "net/url.h"

#include "net/encodings.h"

namespace quellbo::net {

namespace {
bool carriable(unsigned char c) {
  if (c <= 0x20 || c >= 0x7F) return false;
  switch (c) {
    case '"':
    case '#':
    case '<':
    case '>':
    case '\\':
    case '^':
    case '`':
    case '{':
    case '|':
    case '}':
      return false;
    default:
      return true;
  }
}
}  // namespace

std::string wireUrl(const Text& url) {
  static const char* hex = "0123456789ABCDEF";
  const std::string utf8 = toUtf8(url);
  std::string out;
  out.reserve(utf8.size());
  for (unsigned char c : utf8) {
    if (carriable(c)) {
      out += static_cast<char>(c);
      continue;
    }
    out += '%';
    out += hex[c >> 4];
    out += hex[c & 0xF];
  }
  return out;
}

}  // namespace quellbo::net
