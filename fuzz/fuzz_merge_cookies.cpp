// mergeCookies over any two cookie texts: no crash, and the merged text holds
// each item once and no cookie the server deleted.
#include <fuzzer/FuzzedDataProvider.h>

#include <set>

#include "fuzz_check.h"
#include "net/header_text.h"

using namespace quellbo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  Text oldCookies = input.ConsumeRandomLengthString(size);
  Text newCookies = input.ConsumeRemainingBytesAsString();
  const std::size_t bound = oldCookies.size() + newCookies.size() + 4;

  const Text merged = net::mergeCookies(oldCookies, newCookies);
  FUZZ_CHECK(merged == oldCookies);
  FUZZ_CHECK(merged.size() <= bound);

  std::set<Text> seen;
  for (const Text& item : platform::splitText(merged, "; ")) {
    FUZZ_CHECK(seen.insert(item).second);
    FUZZ_CHECK(platform::rightText(item, 8) != "=deleted");
  }
  // Merging again changes nothing, except that an empty last item (the
  // merged text then ends with "; ") is not produced again by the split.
  const bool emptyLast = platform::rightText(merged, 2) == "; ";
  FUZZ_CHECK(net::removeDuplicateItems(merged, "; ") == (emptyLast ? merged.substr(0, merged.size() - 2) : merged));
  return 0;
}
