#include "net/header_text.h"

#include <string_view>
#include <unordered_set>

namespace quellbo::net {

using platform::findText;
using platform::findTextReverse;
using platform::leftText;
using platform::midText;
using platform::replaceText;
using platform::rightText;
using platform::splitText;
using platform::textLength;
using platform::toUpper;
using platform::trimText;

namespace {

const Text kLineBreak = "\r\n";
const Text kCookieSeparator = "; ";
const Text kDeletedMark = "=deleted";
// The quote marker of stored texts.
const Text kQuoteMarker = "#引号";

// A reverse search whose start has dropped below 1 has nothing to search;
// findTextReverse would read a negative start as "the whole text".
int findLastBefore(const Text& text, const Text& marker, long long start, bool ignoreCase) {
  if (start < 1) return -1;
  return findTextReverse(text, marker, static_cast<int>(start), ignoreCase);
}

// A cookie text trimmed, with a blank after a final ";" so that splitting at
// "; " does not leave the ";" on the last item.
Text closedCookieText(const Text& cookies) {
  Text trimmed = trimText(cookies);
  if (rightText(trimmed, 1) == ";") trimmed += ' ';
  return trimmed;
}

}  // namespace

Text capitalizeFirst(const Text& text) {
  if (text.empty()) return {};
  return toUpper(leftText(text, 1)) + text.substr(1);
}

Text normalizeHeaderNames(const Text& block) {
  Text out;
  for (const Text& line : splitText(block, kLineBreak)) {
    const int colon = findText(line, ":");
    if (colon < 1) continue;
    const Text name = leftText(line, colon - 1);
    Text newName;
    if (findText(name, "-") < 1) {
      newName = capitalizeFirst(name);
    } else {
      const TextList pieces = splitText(name, "-");
      for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0) newName += '-';
        newName += capitalizeFirst(pieces[i]);
      }
    }
    out += newName;
    out += rightText(line, textLength(line) - textLength(newName));
    out += kLineBreak;
  }
  return leftText(out, textLength(out) - 2);
}

Text getHeaderValue(const Text& block, const Text& name) {
  const int n = textLength(name);
  for (const Text& line : splitText(block, kLineBreak)) {
    if (leftText(line, n) != name) continue;
    return textAfterMarker(line, name + ": ");
  }
  return {};
}

Text textAfterMarker(const Text& text, const Text& marker, int pos, bool ignoreCase) {
  const int length = textLength(text);
  int c = -1;
  if (pos >= 0) {
    c = findLastBefore(text, marker, static_cast<long long>(length) - pos, ignoreCase);
  } else {
    const long long from = -static_cast<long long>(pos);
    if (from > length) return {};
    c = findText(text, marker, static_cast<int>(from), ignoreCase);
  }
  if (c < 1) return {};
  return rightText(text, length - textLength(marker) - c + 1);
}

Text textBeforeMarker(const Text& text, const Text& marker, int pos, bool ignoreCase) {
  const int length = textLength(text);
  int c = -1;
  if (pos >= 0) {
    c = findText(text, marker, pos == 0 ? 1 : pos, ignoreCase);
  } else {
    // -1 counts as 0, so it searches below the whole length.
    const long long back = pos == -1 ? 0 : -static_cast<long long>(pos);
    c = findLastBefore(text, marker, length - back, ignoreCase);
  }
  if (c < 1) return {};
  return leftText(text, c - 1);
}

Text textBetween(const Text& text, const Text& left, const Text& right, int pos, bool ignoreCase) {
  const Text leftMarker = replaceText(left, kQuoteMarker, "\"");
  const Text rightMarker = replaceText(right, kQuoteMarker, "\"");
  int c = findText(text, leftMarker, pos == 0 ? 1 : pos, ignoreCase);
  if (c < 1) return {};
  c += textLength(leftMarker);
  const int d = findText(text, rightMarker, c, ignoreCase);
  if (d < 1) return {};
  return midText(text, c, d - c);
}

Text cookieName(const Text& item) {
  const int equals = findText(item, "=");
  return trimText(equals < 1 ? item : leftText(item, equals - 1));
}

bool hasCookieName(const TextList& items, const Text& name) {
  for (const Text& item : items) {
    if (cookieName(item) == name) return true;
  }
  return false;
}

int findItem(const TextList& items, const Text& text) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i] == text) return static_cast<int>(i) + 1;
  }
  return -1;
}

Text removeDuplicateItems(const Text& text, const Text& separator) {
  const TextList pieces = splitText(text, separator);
  // Views into pieces, which stays put while they are used.
  std::unordered_set<std::string_view> taken;
  taken.reserve(pieces.size());
  Text out;
  out.reserve(text.size());
  bool first = true;
  for (const Text& piece : pieces) {
    if (!taken.insert(piece).second) continue;
    if (!first) out += separator;
    out += piece;
    first = false;
  }
  return out;
}

Text mergeCookies(Text& oldCookies, Text& newCookies) {
  oldCookies = closedCookieText(oldCookies);
  newCookies = closedCookieText(newCookies);
  const TextList oldItems = splitText(oldCookies, kCookieSeparator);
  TextList items = splitText(newCookies, kCookieSeparator);

  // The names present in items, kept as items grows: the same answers as
  // hasCookieName over the growing list, without searching it each time.
  std::unordered_set<Text> names;
  names.reserve(items.size() + oldItems.size());
  for (const Text& item : items) names.insert(cookieName(item));
  for (const Text& item : oldItems) {
    if (!names.insert(cookieName(item)).second) continue;
    items.push_back(item);
  }

  Text merged;
  merged.reserve(oldCookies.size() + newCookies.size() + 2);
  for (const Text& item : items) {
    if (rightText(item, textLength(kDeletedMark)) == kDeletedMark) continue;
    merged += item;
    merged += kCookieSeparator;
  }
  merged = leftText(merged, textLength(merged) - 2);
  oldCookies = removeDuplicateItems(merged, kCookieSeparator);
  return oldCookies;
}

}  // namespace quellbo::net
