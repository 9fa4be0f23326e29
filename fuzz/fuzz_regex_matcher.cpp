// The four patterns the program runs, with the options it runs them with,
// over any subject: no crash, no hang, no read past a buffer; a search that
// finds nothing leaves the subject as it was.
#include "data/regex_matcher.h"
#include "fuzz_check.h"

using namespace quellbo;

namespace {

struct Use {
  const char* pattern;
  bool caseSensitive;
  bool multiline;
  bool global;
  bool quoteMarkers;
};

// "#\xD2\xFD\xBA\xC5" is the quote marker in GB18030 bytes.
constexpr Use kUses[] = {
    {"\\[CQ:image(.*?)jpg\\]", false, true, true, true},
    {"[^u4e00-\\u9fa5]\\w{11}[^u4e00-\\u9fa5]", false, true, true, false},
    {"content#\xD2\xFD\xBA\xC5:#\xD2\xFD\xBA\xC5(.*?)#\xD2\xFD\xBA\xC5,#\xD2\xFD\xBA\xC5"
     "errCode",
     false, false, true, true},
    {"<meta.+?charset=[^\\w]?([-\\w]+)", false, true, true, false},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Text subject(reinterpret_cast<const char*>(data), size);
  for (const Use& use : kUses) {
    data::RegexMatcher matcher;
    FUZZ_CHECK(matcher.search(use.pattern, subject, use.caseSensitive, use.multiline, use.global, use.quoteMarkers));
    const int count = matcher.matchCount();
    FUZZ_CHECK(count >= 0);
    const Text replaced = matcher.replace("NEW");
    if (count == 0) FUZZ_CHECK(replaced == subject);
    int position = 0;
    for (int i = 1; i <= count + 1; ++i) {
      const Text match = matcher.getMatch(i, &position);
      FUZZ_CHECK(i <= count ? position >= 0 : (match.empty() && position == -1));
      matcher.getSubMatch(i, 1, &position);
    }
    matcher.subMatchCount();
  }
  return 0;
}
