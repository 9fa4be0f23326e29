#pragma once

#include <string>

#include "platform/text.h"

namespace quellbo::net {

// The URL as it goes on the wire: UTF-8, with every character that a URL
// cannot carry (blanks, control characters, non-ASCII, and characters such
// as "#" that would cut the request short) percent-encoded as its UTF-8
// bytes. Everything else stays exactly as the caller built it.
std::string wireUrl(const Text& url);

}  // namespace quellbo::net
