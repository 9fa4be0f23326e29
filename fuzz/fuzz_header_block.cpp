// normalizeHeaderNames and getHeaderValue over any header block and name: no
// crash, a normal form that stays put, and a value taken from the block.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "net/header_text.h"

using namespace quellbo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const Text name = input.ConsumeRandomLengthString(64);
  const Text block = input.ConsumeRemainingBytesAsString();

  const Text normalized = net::normalizeHeaderNames(block);
  FUZZ_CHECK(normalized.size() <= block.size());
  FUZZ_CHECK(platform::rightText(normalized, 2) != "\r\n");
  for (const Text& line : platform::splitText(normalized, "\r\n")) FUZZ_CHECK(platform::findText(line, ":") >= 1);
  FUZZ_CHECK(net::normalizeHeaderNames(normalized) == normalized);

  for (const Text* source : {&block, &normalized}) {
    const Text value = net::getHeaderValue(*source, name);
    FUZZ_CHECK(value.size() <= source->size());
    FUZZ_CHECK(value.empty() || source->find(value) != Text::npos);
  }
  return 0;
}
