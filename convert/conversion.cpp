#include "convert/conversion.h"

#include "app/program_values.h"
#include "app/remote_addresses.h"
#include "app/wait.h"
#include "convert/jd_road.h"
#include "data/json_document.h"
#include "data/regex_matcher.h"
#include "net/encodings.h"
#include "platform/http_read.h"
#include "platform/services.h"

namespace quellbo::convert {

using namespace platform;

namespace {

constexpr const char* kStatusDone = "转换完毕";
constexpr const char* kStatusFallback =
    "不支持转换，原文输出\r\n不支持转换的口令有：\r\n1.店铺淘口令不支持转换\r\n2.分享券淘口令不支持转换\r\n"
    "3.其他一些不支持转换的口令";

constexpr const char* kItemIdTemplate = "/api/open_shangpin_id.ashx?appkey=#appkey#&sid=#sid#&content=#yw#&type=1";
constexpr const char* kCouponTemplate =
    "/api/open_gaoyongzhuanlian.ashx?appkey=#appkey#&sid=#sid#&pid=#pid#&num_iid=#url#&me=&relation_id=&signurl=3";
constexpr const char* kTokenTemplate =
    "/api/open_tkl_create.ashx?appkey=#appkey#&sid=#sid#&text=#text#&url=#url#&logo=#logo#&signurl=0";

constexpr const char* kCouponPath = "['tbk_privilege_get_response'].result.data['coupon_click_url']";

// One border character, eleven word characters, one border character; a
// border is any character below "0" or above U+9FA5.
constexpr const char* kTokenPattern = "[^u4e00-\\u9fa5]\\w{11}[^u4e00-\\u9fa5]";

struct Filling {
  const char* placeholder;
  Text value;
};

Text box(const char* name) { return readControlText(Form::Main, name); }

// Fills the placeholders one after another, every occurrence, exact case,
// values unencoded; the controls are read by the caller for each filling.
Text serviceUrl(const char* pathTemplate, std::initializer_list<Filling> fillings) {
  Text url = pathTemplate;
  for (const auto& f : fillings) url = replaceText(url, f.placeholder, f.value);
  return app::remoteAddresses().conversionApi + url;
}

void readAnswer(data::JsonDocument& document, const Text& url) {
  const Bytes body = httpReadFile(url);
  document.parse(net::utf8ToGbk(toBytes(toText(body))));
}

}  // namespace

void runConversion() {
  auto& values = app::programValues();
  data::JsonDocument document;
  writeControlText(Form::Main, "编辑框8", kStatusDone);
  values.conversionInput = box("编辑框1");
  if (findText(values.conversionInput, "jd") != -1) {
    convertJdLink();
    app::waitMs(1000);
    return;
  }

  readAnswer(document, serviceUrl(kItemIdTemplate, {{"#yw#", values.conversionInput},
                                                    {"#appkey#", box("编辑框3")},
                                                    {"#sid#", box("编辑框4")}}));
  const Text itemId = document.getText("item_id");
  if (itemId.empty()) {
    writeControlText(Form::Main, "编辑框8", kStatusFallback);
    writeControlText(Form::Main, "编辑框2", box("编辑框1"));
    return;
  }

  readAnswer(document, serviceUrl(kCouponTemplate, {{"#url#", itemId},
                                                    {"#appkey#", box("编辑框3")},
                                                    {"#sid#", box("编辑框4")},
                                                    {"#pid#", box("编辑框5")}}));
  const Text couponLink = document.getText(kCouponPath);

  readAnswer(document, serviceUrl(kTokenTemplate, {{"#url#", couponLink},
                                                   {"#appkey#", box("编辑框3")},
                                                   {"#sid#", box("编辑框4")},
                                                   {"#text#", box("编辑框6")},
                                                   {"#logo#", box("编辑框7")}}));
  values.newShareToken = document.getText("model");
  substituteShareToken();
}

void substituteShareToken() {
  const auto& values = app::programValues();
  data::RegexMatcher matcher;
  matcher.search(kTokenPattern, values.conversionInput);
  writeControlText(Form::Main, "编辑框2", matcher.replace(values.newShareToken));
}

}  // namespace quellbo::convert
