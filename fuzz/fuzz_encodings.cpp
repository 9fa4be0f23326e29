// utf8ToGbk and convertCharset over any bytes and charset names: no crash, no
// zero byte in a Text, conversions that agree with each other and settle
// after one round.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <vector>

#include "fuzz_check.h"
#include "net/encodings.h"

using namespace quellbo;

namespace {

// The names web pages declare most, a few stateful and multi-byte ones, and
// one that is no charset at all.
const std::array<const char*, 16> kCharsets = {
    "",      "UTF-8",       "GBK",       "gb2312", "big5",   "iso-8859-1", "windows-1252", "utf-16",
    "UTF-7", "ISO-2022-JP", "Shift_JIS", "EUC-JP", "koi8-r", "GB18030",    "SCSU",         "no-such-charset",
};

Text charsetFrom(FuzzedDataProvider& input) {
  if (input.ConsumeIntegralInRange(0, 15) == 0) return input.ConsumeRandomLengthString(24);
  return kCharsets[input.ConsumeIntegralInRange<std::size_t>(0, kCharsets.size() - 1)];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  Text from = charsetFrom(input);
  Text to = charsetFrom(input);
  const std::vector<std::uint8_t> raw = input.ConsumeRemainingBytes<std::uint8_t>();
  const Bytes bytes(raw.begin(), raw.end());

  const Text gb = net::utf8ToGbk(bytes);
  FUZZ_CHECK(gb.find('\0') == Text::npos);
  // Once through, the text is settled: invalid input became U+FFFD.
  const Text utf8 = net::gbkToUtf8(gb);
  FUZZ_CHECK(net::utf8ToGbk(Bytes(utf8.begin(), utf8.end())) == gb);
  FUZZ_CHECK(net::fromUtf8(net::toUtf8(gb)) == gb);

  const bool defaults = from.empty() && to.empty();
  const Bytes converted = net::convertCharset(bytes, from, to);
  FUZZ_CHECK(!from.empty() && !to.empty());
  if (defaults && bytes.end() == std::find(bytes.begin(), bytes.end(), 0)) {
    FUZZ_CHECK(Text(converted.begin(), converted.end()) == gb);
  }
  return 0;
}
