#include <benchmark/benchmark.h>

#include "data/regex_matcher.h"

namespace {

using quellbo::Text;
using quellbo::data::RegexMatcher;

const Text kTokenPattern = "[^u4e00-\\u9fa5]\\w{11}[^u4e00-\\u9fa5]";

// About 2 KB of deal text with one share token in it, as users paste it.
Text dealText() {
  const Text line = "【夏季新款】冰丝短袖T恤男宽松潮牌圆领半袖上衣，券后仅需39.9元，原价129元！\r\n";
  Text text;
  while (text.size() < 1000) text += line;
  text += "复制这条信息￥Ab3dEf7hIj9￥，打开【手机淘宝】即可查看\r\n";
  while (text.size() < 2048) text += line;
  return text;
}

// What substituteShareToken does with one deal: a matcher, the search and
// the replacement.
void replaceShareToken(benchmark::State& state) {
  const Text text = dealText();
  for (auto _ : state) {
    RegexMatcher matcher;
    matcher.search(kTokenPattern, text);
    benchmark::DoNotOptimize(matcher.replace("￥NewT0ken99x￥"));
  }
  state.SetLabel(std::to_string(text.size()) + " bytes");
}
BENCHMARK(replaceShareToken)->Unit(benchmark::kMicrosecond);

}  // namespace
