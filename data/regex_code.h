#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace quellbo::data {

// Byte offsets, in the UTF-8 subject, of a match or of one of its groups.
struct MatchSpan {
  static constexpr std::size_t kUnset = static_cast<std::size_t>(-1);
  std::size_t start = kUnset;  // kUnset: the group took no part
  std::size_t end = kUnset;
};

// A compiled PCRE2 pattern with its match data: the one owner of the PCRE2
// handles, through which every PCRE2 call goes. Patterns and subjects are
// UTF-8; "\uXXXX" is a code point, only LF ends a line and "\w" stays ASCII.
class RegexCode {
 public:
  enum class Result { Match, NoMatch, Failed };

  // Null when PCRE2 refuses the pattern.
  static std::unique_ptr<RegexCode> compile(std::string_view utf8Pattern, bool caseless, bool multiline);
  ~RegexCode();
  RegexCode(const RegexCode&) = delete;
  RegexCode& operator=(const RegexCode&) = delete;

  // The first match at or after offset (a character boundary). On Match,
  // spans holds the whole match and then one span per group.
  Result match(std::string_view subject, std::size_t offset, std::vector<MatchSpan>& spans);
  int groupCount() const;

 private:
  struct Handles;
  explicit RegexCode(std::unique_ptr<Handles> handles);
  std::unique_ptr<Handles> m_handles;
};

}  // namespace quellbo::data
