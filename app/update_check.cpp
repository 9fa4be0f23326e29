#include "app/update_check.h"

#include "app/remote_addresses.h"
#include "data/json_document.h"
#include "net/encodings.h"
#include "platform/http_read.h"
#include "platform/services.h"

namespace quellbo::app {

using namespace platform;

namespace {

// The document comes over plain HTTP, so its address may only lead to a web
// page, never to a local file or another handler.
bool isWebAddress(const Text& address) {
  return compareText(leftText(address, 7), "http://", false) == 0 ||
         compareText(leftText(address, 8), "https://", false) == 0;
}

}  // namespace

void checkForUpdate() {
  const Text server = remoteAddresses().updateServer;
  if (server.empty()) return;
  data::JsonDocument document;
  const Bytes body = httpReadFile(server + "/gx.html");
  document.parse(net::utf8ToGbk(toBytes(toText(body))));
  const Text latest = document.getText("edition");
  const Text address = document.getText("address");
  const Text current = readControlText(Form::Main, "编辑框14");
  if (toNumber(latest) - toNumber(current) <= 0.0000001) return;
  showMessage(kUpdateMessage);
  if (isWebAddress(address)) openUrl(address);
  closeWindow(Form::Main);
}

}  // namespace quellbo::app
