#include "convert/jd_road.h"

#include "app/remote_addresses.h"
#include "data/name_value_list.h"
#include "data/regex_matcher.h"
#include "net/encodings.h"
#include "net/web_request.h"
#include "platform/services.h"

namespace quellbo::convert {

using namespace platform;

namespace {
// The converted text is the "content" member directly followed by "errCode".
constexpr const char* kContentPattern = "content#引号:#引号(.*?)#引号,#引号errCode";
}  // namespace

void convertJdLink() {
  data::NameValueList headers;
  data::RegexMatcher matcher;
  const Text input = readControlText(Form::Main, "编辑框1");
  const Text cookie = readControlText(Form::Main, "编辑框13");

  headers.add("User-Agent", kJdUserAgent);
  net::WebRequestParams params;
  params.url = app::remoteAddresses().jdConverter + "/cps/zl?content=" + input;
  params.method = 0;
  params.extraHeaders = headers.toHeaderText();
  net::WebRequestInOut io;
  io.sendCookies = cookie;
  net::WebRequest(params, io);

  Text fromCharset;
  Text toCharset;
  const Text answer = toText(net::convertCharset(io.responseBytes, fromCharset, toCharset));
  matcher.search(kContentPattern, answer, false, false, true, true);
  const Text result = replaceText(matcher.getSubMatch(1, 1), "\\r\\n", "\r\n");
  writeControlText(Form::Main, "编辑框2", result);
}

}  // namespace quellbo::convert
