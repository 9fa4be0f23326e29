// The marker routines over any text, markers and search options: no crash and
// no read past a buffer; each result is the piece of the text it claims to be.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "net/header_text.h"

using namespace quellbo;

namespace {

bool endsWith(const Text& text, const Text& tail) {
  return tail.size() <= text.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const int pos = input.ConsumeBool() ? input.ConsumeIntegral<int>() : input.ConsumeIntegralInRange(-8, 8);
  const bool ignoreCase = input.ConsumeBool();
  const Text left = input.ConsumeRandomLengthString(32);
  const Text right = input.ConsumeRandomLengthString(32);
  const Text text = input.ConsumeRemainingBytesAsString();

  const Text between = net::textBetween(text, left, right, pos, ignoreCase);
  FUZZ_CHECK(between.size() <= text.size());
  FUZZ_CHECK(between.empty() || text.find(between) != Text::npos);

  const Text after = net::textAfterMarker(text, left, pos, ignoreCase);
  FUZZ_CHECK(endsWith(text, after));
  FUZZ_CHECK(after.size() + left.size() <= text.size() || after.empty());

  const Text before = net::textBeforeMarker(text, left, pos, ignoreCase);
  FUZZ_CHECK(text.compare(0, before.size(), before) == 0);
  return 0;
}
