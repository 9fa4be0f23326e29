#include "data/name_value_list.h"

#include "net/encodings.h"
#include "net/header_text.h"

namespace quellbo::data {

using platform::findText;
using platform::leftText;
using platform::replaceText;
using platform::splitText;
using platform::textLength;

namespace {

bool isPlainByte(unsigned char c) {
  return c == '-' || c == '.' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// 0-based index of the first pair with name, or -1.
int indexOf(const TextList& names, const Text& name) {
  const int position = net::findItem(names, name);
  return position < 1 ? -1 : position - 1;
}

}  // namespace

void NameValueList::add(const Text& name, const Text& value, bool convertValue) {
  m_names.push_back(name);
  m_values.push_back(convertValue ? net::gbkToUtf8(value) : value);
}

void NameValueList::parseQuery(const Text& text, bool convertValues) {
  for (const Text& piece : splitText(text, "&")) {
    add(net::textBeforeMarker(piece, "="), net::textAfterMarker(piece, "="), convertValues);
  }
}

Text NameValueList::get(const Text& name) const {
  const int i = indexOf(m_names, name);
  if (i < 0) return {};
  return m_values[static_cast<std::size_t>(i)];
}

void NameValueList::set(const Text& name, const Text& value) {
  const int i = indexOf(m_names, name);
  if (i < 0) {
    add(name, value);
    return;
  }
  m_values[static_cast<std::size_t>(i)] = value;
}

Text NameValueList::toQueryText(bool encodeValues) const {
  Text out;
  for (std::size_t i = 0; i < m_names.size(); ++i) {
    out += m_names[i];
    out += '=';
    out += encodeValues ? urlEncode(m_values[i], true, false) : m_values[i];
    out += '&';
  }
  return leftText(out, textLength(out) - 1);
}

Text NameValueList::toHeaderText(bool encodeValues) const {
  Text out;
  for (std::size_t i = 0; i < m_names.size(); ++i) {
    out += m_names[i];
    out += ": ";
    out += encodeValues ? urlEncode(m_values[i], true, false) : m_values[i];
    out += "\r\n";
  }
  return leftText(out, textLength(out) - 2);
}

TextList NameValueList::getNames(TextList& names) const {
  names = m_names;
  return names;
}

TextList NameValueList::getValues(TextList& values) const {
  values = m_values;
  return values;
}

void NameValueList::clear() {
  m_names.clear();
  m_values.clear();
}

void NameValueList::remove(const Text& name) {
  const int i = indexOf(m_names, name);
  if (i < 0) return;
  m_names.erase(m_names.begin() + i);
  m_values.erase(m_values.begin() + i);
}

Text NameValueList::toJsonText() const {
  Text members;
  for (std::size_t i = 0; i < m_names.size(); ++i) {
    members += '"';
    members += m_names[i];
    members += "\":\"";
    members += escapeQuotes(m_values[i]);
    members += "\",";
  }
  trimAffix(members, ",");
  return "{" + members + "}";
}

Text NameValueList::escapeQuotes(const Text& text) { return replaceText(text, "\"", "\\\""); }

Text NameValueList::trimAffix(Text& text, const Text& affix) {
  if (affix.empty()) return text;
  // The affix counts at the end only where a character starts, never from
  // the second byte of a double-byte one.
  const int tail = textLength(text) - textLength(affix) + 1;
  if (tail >= 1 && findText(text, affix, tail) == tail) text = leftText(text, tail - 1);
  if (text.compare(0, affix.size(), affix) == 0) text.erase(0, affix.size());
  return text;
}

Text NameValueList::urlEncode(const Text& text, bool keepPlain, bool asUtf8) {
  if (text.empty()) return {};
  static constexpr char kHexDigits[] = "0123456789ABCDEF";
  const Text bytes = asUtf8 ? net::gbkToUtf8(text) : text;
  Text out;
  out.reserve(bytes.size() * 3);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (keepPlain && isPlainByte(byte)) {
      out += c;
      continue;
    }
    out += '%';
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0x0F];
  }
  return out;
}

}  // namespace quellbo::data
