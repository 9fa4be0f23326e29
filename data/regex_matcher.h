#pragma once

#include <memory>

#include "platform/text.h"

namespace quellbo::data {

// One regular expression run over one subject; keeps the matches so that
// groups can be read and the subject rewritten. Indexes are 1-based. A
// refused pattern or a missing match gives empty results, never an error.
class RegexMatcher {
 public:
  RegexMatcher();
  ~RegexMatcher();
  // A copy shares the compiled pattern and the matches.
  RegexMatcher(const RegexMatcher&);
  RegexMatcher& operator=(const RegexMatcher&);

  bool search(const Text& pattern, const Text& subject, bool caseSensitive = false, bool multiline = true,
              bool global = true, bool quoteMarkers = false);
  Text getPattern() const;
  // The subject with every match (the first only, without global) replaced
  // by the replacement, inserted literally.
  Text replace(const Text& replacement = "") const;
  int matchCount() const;
  // position, when given, receives the 0-based byte offset of the returned
  // text in the subject, -1 when there is no such match or group.
  Text getMatch(int index, int* position = nullptr) const;
  Text getSubMatch(int matchIndex, int groupIndex, int* position = nullptr) const;
  int subMatchCount() const;

 private:
  struct State;
  std::shared_ptr<State> m_state;
};

}  // namespace quellbo::data
