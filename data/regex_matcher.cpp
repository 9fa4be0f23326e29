#include "data/regex_matcher.h"

#include <algorithm>
#include <string>
#include <vector>

#include "data/regex_code.h"
#include "net/encodings.h"

namespace quellbo::data {

namespace {

// "#引号", the stored form of a double quote, in GB18030 bytes.
constexpr const char* kQuoteMarker = "#\xD2\xFD\xBA\xC5";

// Byte length of the UTF-8 character that starts with lead.
std::size_t utf8Length(unsigned char lead) {
  if (lead < 0xC0) return 1;
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  return 4;
}

// Compiling can cost far more than matching: a caseless class over the range
// "0" to U+9FA5 (the token pattern's) takes about half a millisecond to fold.
// The program runs the same few patterns again and again, so the last ones
// compiled are kept. Matching through a shared code is safe on one thread,
// since a match finishes before anything else can use it.
std::shared_ptr<RegexCode> compiledPattern(const std::string& utf8Pattern, bool caseless, bool multiline) {
  struct Entry {
    std::string pattern;
    bool caseless;
    bool multiline;
    std::shared_ptr<RegexCode> code;
  };
  constexpr std::size_t kKept = 8;
  thread_local std::vector<Entry> kept;
  for (auto it = kept.begin(); it != kept.end(); ++it) {
    if (it->pattern != utf8Pattern || it->caseless != caseless || it->multiline != multiline) continue;
    // Most recently used first.
    std::rotate(kept.begin(), it, it + 1);
    return kept.front().code;
  }
  std::shared_ptr<RegexCode> code = RegexCode::compile(utf8Pattern, caseless, multiline);
  if (!code) return nullptr;
  if (kept.size() == kKept) kept.pop_back();
  kept.insert(kept.begin(), Entry{utf8Pattern, caseless, multiline, code});
  return code;
}

}  // namespace

struct RegexMatcher::State {
  std::shared_ptr<RegexCode> code;  // null: no search yet, or the pattern was refused
  bool ran = false;                 // the search ran to its end
  Text pattern;
  Text subject;
  std::string utf8Subject;
  std::vector<std::vector<MatchSpan>> matches;

  bool hasMatch(int index) const { return ran && index >= 1 && static_cast<std::size_t>(index) <= matches.size(); }

  Text piece(std::size_t start, std::size_t end) const {
    return net::fromUtf8(std::string_view(utf8Subject).substr(start, end - start));
  }

  // The text of slot (0: the whole match, then the groups) of a match.
  Text spanText(int matchIndex, std::size_t slot, int* position) const {
    if (position != nullptr) *position = -1;
    if (!hasMatch(matchIndex)) return {};
    const auto& spans = matches[static_cast<std::size_t>(matchIndex) - 1];
    if (slot >= spans.size() || spans[slot].start == MatchSpan::kUnset) return {};
    // The offset in the Text subject is the length of the text before it.
    if (position != nullptr) *position = static_cast<int>(piece(0, spans[slot].start).size());
    return piece(spans[slot].start, spans[slot].end);
  }
};

RegexMatcher::RegexMatcher() : m_state(std::make_shared<State>()) {}

RegexMatcher::~RegexMatcher() = default;
RegexMatcher::RegexMatcher(const RegexMatcher&) = default;
RegexMatcher& RegexMatcher::operator=(const RegexMatcher&) = default;

bool RegexMatcher::search(const Text& pattern, const Text& subject, bool caseSensitive, bool multiline, bool global,
                          bool quoteMarkers) {
  // A fresh state: a copy made earlier keeps the previous search.
  auto state = std::make_shared<State>();
  m_state = state;
  state->pattern = quoteMarkers ? platform::replaceText(pattern, kQuoteMarker, "\"") : pattern;
  state->subject = subject;
  state->code = compiledPattern(net::toUtf8(state->pattern), !caseSensitive, multiline);
  if (!state->code) return false;
  state->utf8Subject = net::toUtf8(subject);
  const std::string_view text = state->utf8Subject;
  std::size_t offset = 0;
  std::vector<MatchSpan> spans;
  while (offset <= text.size()) {
    const auto result = state->code->match(text, offset, spans);
    if (result == RegexCode::Result::Failed) {
      state->matches.clear();
      return false;
    }
    if (result == RegexCode::Result::NoMatch) break;
    state->matches.push_back(spans);
    if (!global) break;
    // After an empty match the next search starts one character later, so
    // a pattern that matches nothing still ends.
    offset = spans[0].end;
    if (spans[0].start == spans[0].end) {
      if (offset >= text.size()) break;
      offset += utf8Length(static_cast<unsigned char>(text[offset]));
    }
  }
  state->ran = true;
  return true;
}

Text RegexMatcher::getPattern() const {
  if (!m_state->code) return {};
  return m_state->pattern;
}

Text RegexMatcher::replace(const Text& replacement) const {
  const State& s = *m_state;
  if (!s.ran) return {};
  if (s.matches.empty()) return s.subject;
  Text result;
  std::size_t from = 0;
  for (const auto& spans : s.matches) {
    result += s.piece(from, spans[0].start);
    result += replacement;
    from = spans[0].end;
  }
  result += s.piece(from, s.utf8Subject.size());
  return result;
}

int RegexMatcher::matchCount() const { return m_state->ran ? static_cast<int>(m_state->matches.size()) : 0; }

Text RegexMatcher::getMatch(int index, int* position) const { return m_state->spanText(index, 0, position); }

Text RegexMatcher::getSubMatch(int matchIndex, int groupIndex, int* position) const {
  if (groupIndex < 1) {
    if (position != nullptr) *position = -1;
    return {};
  }
  return m_state->spanText(matchIndex, static_cast<std::size_t>(groupIndex), position);
}

int RegexMatcher::subMatchCount() const {
  if (!m_state->hasMatch(1)) return 0;
  return static_cast<int>(m_state->matches.front().size()) - 1;
}

}  // namespace quellbo::data
