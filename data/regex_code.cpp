#include "data/regex_code.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

namespace quellbo::data {

struct RegexCode::Handles {
  pcre2_code* code = nullptr;
  pcre2_match_data* matchData = nullptr;

  ~Handles() {
    if (matchData != nullptr) pcre2_match_data_free(matchData);
    if (code != nullptr) pcre2_code_free(code);
  }
};

RegexCode::RegexCode(std::unique_ptr<Handles> handles) : m_handles(std::move(handles)) {}

RegexCode::~RegexCode() = default;

std::unique_ptr<RegexCode> RegexCode::compile(std::string_view utf8Pattern, bool caseless, bool multiline) {
  pcre2_compile_context* context = pcre2_compile_context_create(nullptr);
  if (context == nullptr) return nullptr;
  pcre2_set_newline(context, PCRE2_NEWLINE_LF);
  pcre2_set_compile_extra_options(context, PCRE2_EXTRA_ALT_BSUX);
  // "$" without multiline means the very end of the subject, not also the
  // place before a final line feed.
  uint32_t options = PCRE2_UTF | PCRE2_DOLLAR_ENDONLY;
  if (caseless) options |= PCRE2_CASELESS;
  if (multiline) options |= PCRE2_MULTILINE;
  int error = 0;
  PCRE2_SIZE errorOffset = 0;
  auto handles = std::make_unique<Handles>();
  handles->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(utf8Pattern.data()), utf8Pattern.size(), options, &error,
                                &errorOffset, context);
  pcre2_compile_context_free(context);
  if (handles->code == nullptr) return nullptr;
  // Without JIT the interpreter runs the same pattern, only slower.
  pcre2_jit_compile(handles->code, PCRE2_JIT_COMPLETE);
  handles->matchData = pcre2_match_data_create_from_pattern(handles->code, nullptr);
  if (handles->matchData == nullptr) return nullptr;
  return std::unique_ptr<RegexCode>(new RegexCode(std::move(handles)));
}

RegexCode::Result RegexCode::match(std::string_view subject, std::size_t offset, std::vector<MatchSpan>& spans) {
  auto& h = *m_handles;
  const auto* data = reinterpret_cast<PCRE2_SPTR>(subject.data());
  int rc = pcre2_match(h.code, data, subject.size(), offset, 0, h.matchData, nullptr);
  // The JIT's own stack is small; the interpreter keeps its backtracking
  // on the heap and can finish what the JIT gave up.
  if (rc == PCRE2_ERROR_JIT_STACKLIMIT) {
    rc = pcre2_match(h.code, data, subject.size(), offset, PCRE2_NO_JIT, h.matchData, nullptr);
  }
  if (rc == PCRE2_ERROR_NOMATCH) return Result::NoMatch;
  if (rc < 0) return Result::Failed;
  const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(h.matchData);
  const auto pairs = static_cast<std::size_t>(groupCount()) + 1;
  spans.assign(pairs, MatchSpan{});
  for (std::size_t i = 0; i < pairs; ++i) {
    if (ovector[2 * i] == PCRE2_UNSET) continue;
    spans[i] = MatchSpan{ovector[2 * i], ovector[2 * i + 1]};
  }
  return Result::Match;
}

int RegexCode::groupCount() const {
  uint32_t count = 0;
  pcre2_pattern_info(m_handles->code, PCRE2_INFO_CAPTURECOUNT, &count);
  return static_cast<int>(count);
}

}  // namespace quellbo::data
