#pragma once

#include "platform/text.h"

namespace quellbo::data {

// An ordered list of name/value pairs rendered as a query text, a header
// block or a flat JSON object. Names need not be unique; lookups take the
// first pair with the name (exact bytes).
class NameValueList {
 public:
  void add(const Text& name, const Text& value, bool convertValue = false);
  void parseQuery(const Text& text, bool convertValues = false);
  Text get(const Text& name) const;
  void set(const Text& name, const Text& value);
  Text toQueryText(bool encodeValues = false) const;
  Text toHeaderText(bool encodeValues = false) const;
  TextList getNames(TextList& names) const;
  TextList getValues(TextList& values) const;
  void clear();
  void remove(const Text& name);
  Text toJsonText() const;

  static Text escapeQuotes(const Text& text);
  static Text trimAffix(Text& text, const Text& affix);
  static Text urlEncode(const Text& text, bool keepPlain, bool asUtf8);

 private:
  TextList m_names;
  TextList m_values;
};

}  // namespace quellbo::data
