#include <benchmark/benchmark.h>

#include "data/json_document.h"

namespace {

using quellbo::Text;
using quellbo::data::JsonDocument;

// About 2 KB, shaped like the conversion service's answers, carrying the
// three members that the Taobao road reads.
const Text kAnswer =
    "{\"tbk_privilege_get_response\":{\"result\":{\"data\":{\"category_id\":50012587,"
    "\"coupon_click_url\":\"https://uland.taobao.com/coupon/edetail?e=Qb6XaKzVd2wGQASttHIRqQ5LQRHpqbgSYG6"
    "jpzG%2BKlqeVLT7lu43qMpT1qwNPBTTk1mM0vP7VsVfWcnqQ7U5CaWZoYsQOvn4b0JYeU1bKXo6rU9MfKzZqbBxM2iTNvW&traceId"
    "=0b0fb2d216812345678901234e&union_lens=lensId%3APUB%401681234567%400b0fb2d2_0e4a_1877d7c0b1c_4e11&"
    "relationId=2712345678&pid=mm_12345678_2345678_34567890\","
    "\"coupon_end_time\":\"2023-05-31 23:59:59\",\"coupon_info\":\"满99元减20元\","
    "\"coupon_remain_count\":48000,\"coupon_start_time\":\"2023-05-01 00:00:00\",\"coupon_total_count\":50000,"
    "\"coupon_type\":3,\"has_coupon\":true,\"item_id\":\"612345678901\","
    "\"item_url\":\"https://s.click.taobao.com/t?e=m%3D2%26s%3DhZ7Uv3c7Dz5w4vFB6t2Z2ueEDrYVVa64Dne87AjQPk"
    "9yINtkUhsv0P2hnjzWw5C%2FKqh4dQgcbfJFqhEb7c%2F2uqBBNJ9O7QQ2QPUpr0nPwnm4R2vWrLvCDEnAQvfHVYwIGJLDoPd"
    "iR5zNWMpxKe2BCFJn9Q4%2FL8%2BkW%3D&pvid=23344223&union_lens=lensId%3APUB%401681234567\","
    "\"max_commission_rate\":\"20.50\",\"min_commission_rate\":\"1.50\",\"reward_info\":0,"
    "\"title\":\"夏季新款冰丝短袖T恤男宽松潮牌圆领半袖上衣男士体恤衫\","
    "\"small_images\":[\"https://img.alicdn.com/i1/2206712345678/O1CN01a1b2c3d4e5f6_!!2206712345678.jpg\","
    "\"https://img.alicdn.com/i2/2206712345678/O1CN01f6e5d4c3b2a1_!!2206712345678.jpg\","
    "\"https://img.alicdn.com/i3/2206712345678/O1CN01abcdefabcdef_!!2206712345678.jpg\"],"
    "\"shop_title\":\"潮流男装旗舰店\",\"volume\":12345,\"zk_final_price\":\"59.90\","
    "\"reserve_price\":\"129.00\",\"provcity\":\"浙江 杭州\",\"user_type\":1}}},"
    "\"model\":\"￥Ab3dEf7hIj9￥ https://m.tb.cn/h.UaBcDeF?tk=Ab3dEf7hIj9 CZ3457 本群专项优惠\","
    "\"tbk_tpwd_create_response\":{\"data\":{\"model\":\"￥Ab3dEf7hIj9￥\",\"password_simple\":\"￥Ab3dEf7hIj9￥\"},"
    "\"request_id\":\"15qz2ldy8cu9x\"},\"request_id\":\"3x2ldy8cu9x15q\",\"msg\":\"ok\",\"code\":200,"
    "\"sub_msg\":\"\",\"sub_code\":\"\",\"server_time\":\"2023-05-12 10:20:30\"}";

// What one answer of the Taobao road costs: a fresh engine, the evaluation
// of the answer and the three reads.
void parseAndReadTaobaoFields(benchmark::State& state) {
  JsonDocument document;
  for (auto _ : state) {
    document.parse(kAnswer);
    benchmark::DoNotOptimize(document.getText("item_id"));
    benchmark::DoNotOptimize(document.getText("['tbk_privilege_get_response'].result.data['coupon_click_url']"));
    benchmark::DoNotOptimize(document.getText("model"));
  }
  state.SetLabel(std::to_string(kAnswer.size()) + " bytes");
}
BENCHMARK(parseAndReadTaobaoFields)->Unit(benchmark::kMicrosecond);

// The part of it that is a fresh engine with the library in it.
void freshEngine(benchmark::State& state) {
  JsonDocument document;
  for (auto _ : state) document.createEngine();
}
BENCHMARK(freshEngine)->Unit(benchmark::kMicrosecond);

}  // namespace
