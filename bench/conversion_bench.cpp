// A whole Taobao conversion against the stand-in services over loopback,
// next to the same three requests made with plain libcurl: the difference is
// the program's own work on top of the round trips.
#include <benchmark/benchmark.h>

#include <string>

#include "app/program_values.h"
#include "app/remote_addresses.h"
#include "convert/conversion.h"
#include "net/curl_easy.h"
#include "platform/ini_file.h"
#include "tests/support/fake_services.h"
#include "tests/support/standin_server.h"
#include "tests/support/temp_dir.h"

namespace quellbo {
namespace {

const Text kDeal = "【今日爆款】保温杯 券后19.9元\r\n复制这段话￥Ab3dEf5hIj7￥打开手机淘宝";

test::StandinServer& server() {
  static test::StandinServer s;
  return s;
}

void pointAtStandin() {
  static test::TempDir dir;
  const Text settings = dir.fileText("setsoft.ini");
  platform::writeIniValue(settings, app::kServiceSection, "转链接口", Text(server().baseUrl()));
  app::loadRemoteAddresses(settings);
}

void BM_TaobaoConversion(benchmark::State& state) {
  pointAtStandin();
  test::FakeServices fake;
  fake.setText("编辑框3", "demo-appkey");
  fake.setText("编辑框4", "123456");
  fake.setText("编辑框5", "mm_1_2_3");
  for (auto _ : state) {
    fake.setText("编辑框1", kDeal);
    convert::runConversion();
    benchmark::DoNotOptimize(fake.text("编辑框2"));
  }
  if (app::programValues().newShareToken.empty()) state.SkipWithError("the conversion did not reach the service");
}

std::string get(const std::string& url) {
  net::CurlEasy curl;
  std::string body;
  curl.set(CURLOPT_URL, url.c_str());
  curl.collectBody(body, 1u << 20);
  curl.perform();
  return body;
}

void BM_ThreePlainRequests(benchmark::State& state) {
  const std::string base = server().baseUrl();
  // The three URLs the conversion above sends, built once.
  const std::string deal = "%E3%80%90%E4%BB%8A%E6%97%A5%E7%88%86%E6%AC%BE%E3%80%91%E4%BF%9D%E6%B8%A9%E6%9D%AF%20%E5%88%B8"
                           "%E5%90%8E19.9%E5%85%83%0D%0A%E5%A4%8D%E5%88%B6%E8%BF%99%E6%AE%B5%E8%AF%9D%EF%BF%A5Ab3dEf5hIj7"
                           "%EF%BF%A5%E6%89%93%E5%BC%80%E6%89%8B%E6%9C%BA%E6%B7%98%E5%AE%9D";
  const std::string step1 = base + "/api/open_shangpin_id.ashx?appkey=demo-appkey&sid=123456&content=" + deal + "&type=1";
  const std::string step2 = base +
                            "/api/open_gaoyongzhuanlian.ashx?appkey=demo-appkey&sid=123456&pid=mm_1_2_3&num_iid="
                            "612345678901&me=&relation_id=&signurl=3";
  const std::string step3 = base +
                            "/api/open_tkl_create.ashx?appkey=demo-appkey&sid=123456&text=%e6%9c%ac&url=https://"
                            "s.click.taobao.com/t?e=612345678901&pid=mm_1_2_3&logo=&signurl=0";
  for (auto _ : state) {
    benchmark::DoNotOptimize(get(step1));
    benchmark::DoNotOptimize(get(step2));
    benchmark::DoNotOptimize(get(step3));
  }
}

BENCHMARK(BM_ThreePlainRequests)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_TaobaoConversion)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

}  // namespace
}  // namespace quellbo
