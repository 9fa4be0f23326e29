// Any answer text through parse and the reads the program makes, with the
// engine's time and memory caps on: no crash, no hang, no read past a buffer,
// and nothing of one answer readable after the next parse.
#include "data/json_document.h"
#include "fuzz_check.h"

using namespace quellbo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Text answer(reinterpret_cast<const char*>(data), size);
  data::JsonDocument document;
  document.parse(answer);
  const Text itemId = document.getText("item_id");
  document.getText("['tbk_privilege_get_response'].result.data['coupon_click_url']");
  document.getText("model");
  document.getText("edition", true);
  const int type = document.getType("item_id");
  FUZZ_CHECK(type >= -1 && type <= 6);
  TextList names;
  FUZZ_CHECK(document.getKeys(names) == static_cast<int>(names.size()));
  document.getCount();
  document.serialize();

  FUZZ_CHECK(document.parse("{\"fresh\":\"yes\"}"));
  FUZZ_CHECK(document.getText("fresh") == "yes");
  if (itemId != "") FUZZ_CHECK(document.getText("item_id").empty());
  return 0;
}
