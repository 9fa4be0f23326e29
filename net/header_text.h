#pragma once

#include "platform/text.h"

namespace quellbo::net {

// Header blocks are lines "Name: value" joined by CR LF; cookie texts are
// items "name=value" joined by "; ". Nothing here keeps state or fails.

// Header names with capitalised words; lines without ":" dropped; no final CR LF.
Text normalizeHeaderNames(const Text& block);
Text capitalizeFirst(const Text& text);
// Value of the first line that starts with name (exact case).
Text getHeaderValue(const Text& block, const Text& name);
Text textAfterMarker(const Text& text, const Text& marker, int pos = 0, bool ignoreCase = false);
Text textBeforeMarker(const Text& text, const Text& marker, int pos = 0, bool ignoreCase = false);
// "#引号" in either marker stands for a double quote.
Text textBetween(const Text& text, const Text& left, const Text& right, int pos = 0, bool ignoreCase = false);
// Merges newCookies (what a server set) into oldCookies (what the caller
// holds); both are rewritten, oldCookies receives the result.
Text mergeCookies(Text& oldCookies, Text& newCookies);
Text cookieName(const Text& item);
bool hasCookieName(const TextList& items, const Text& name);
Text removeDuplicateItems(const Text& text, const Text& separator);
// 1-based index of the first item equal to text, -1 when none.
int findItem(const TextList& items, const Text& text);

}  // namespace quellbo::net
