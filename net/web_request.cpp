#include "net/web_request.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <string>
#include <string_view>
#include <vector>

#include "data/regex_matcher.h"
#include "net/curl_easy.h"
#include "net/encodings.h"
#include "net/header_text.h"
#include "net/url.h"
#include "platform/services.h"

namespace quellbo::net {

namespace {

using platform::compareText;
using platform::findText;
using platform::leftText;
using platform::midText;
using platform::replaceText;
using platform::splitText;
using platform::textLength;
using platform::trimText;

constexpr const char* kBadUrl = "701 解析URL地址失败!";
constexpr const char* kNoSession = "702 创建WinHttp会话失败!";
constexpr const char* kNoRequest = "704 创建WinHttp请求失败!";
constexpr const char* kTimeoutsRefused = "705 设置超时时间失败!";
constexpr const char* kCredentialsRefused = "707 设置代理凭证失败!";
constexpr const char* kCertificatesRefused = "忽略错误/证书错误  失败！";
constexpr const char* kRedirectRefused = "709 重定向设置失败!";
constexpr const char* kHeadersRefused = "710 设置协议头失败!";
constexpr const char* kSendFailed = "711 发送请求失败!";
constexpr const char* kNoResponse = "712 服务器未响应!";
constexpr const char* kReadFailed = "713 读取数据失败!";

constexpr const char* kMethods[] = {"GET", "POST", "HEAD", "PUT", "OPTIONS", "DELETE", "TRACE", "CONNECT"};
constexpr int kGet = 0;
constexpr int kPost = 1;
constexpr int kHead = 2;
constexpr int kPut = 3;

constexpr const char* kCharsetPattern = "<meta.+?charset=[^\\w]?([-\\w]+)";
constexpr int kCharsetWindow = 1024;
constexpr long kMaxRedirects = 10;
constexpr int kPollMs = 100;
// Far beyond any page; a body past it is cut off as a failed read rather
// than exhausting memory.
constexpr std::size_t kMaxBody = std::size_t{256} << 20;

struct DefaultLine {
  const char* probe;
  const char* line;
  bool postOnly;
};
constexpr DefaultLine kDefaultLines[] = {
    {"User-Agent: ", "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n", false},
    {"Accept: ", "Accept: text/html, application/xhtml+xml, */*\r\n", false},
    {"Accept-Encoding: ", "Accept-Encoding: gbk, GB2312\r\n", false},
    {"Accept-Language: ", "Accept-Language: zh-cn\r\n", false},
    {"Content-Type:", "Content-Type: application/x-www-form-urlencoded\r\n", true},
    {"Cache-Control: ", "Cache-Control: no-cache\r\n", false},
};

Text fail(WebRequestInOut& io, const char* text) {
  io.status = text;
  return {};
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool onlyBlanks(std::string_view text) { return std::all_of(text.begin(), text.end(), isBlank); }

// The block as libcurl header lines, plus the overrides that keep libcurl
// from adding lines of its own. False when a line cannot go out as a header
// (no name, or a stray CR or LF that would start a line of its own).
bool toCurlLines(const Text& block, bool withBody, std::vector<std::string>& lines) {
  bool hasAccept = false;
  bool hasExpect = false;
  bool hasContentType = false;
  for (const Text& line : splitText(block, "\r\n")) {
    if (line.empty()) continue;
    if (line.find_first_of("\r\n") != Text::npos) return false;
    const std::size_t colon = line.find(':');
    if (colon == Text::npos || onlyBlanks(std::string_view(line).substr(0, colon))) return false;
    const Text name = trimText(line.substr(0, colon));
    hasAccept = hasAccept || compareText(name, "Accept", false) == 0;
    hasExpect = hasExpect || compareText(name, "Expect", false) == 0;
    hasContentType = hasContentType || compareText(name, "Content-Type", false) == 0;
    // libcurl reads "Name:" with no value as "drop this header"; "Name;"
    // sends it with the empty value the caller wrote.
    if (onlyBlanks(std::string_view(line).substr(colon + 1))) {
      lines.push_back(line.substr(0, colon) + ";");
      continue;
    }
    lines.push_back(line);
  }
  if (!hasAccept) lines.push_back("Accept:");
  if (!hasExpect) lines.push_back("Expect:");
  if (withBody && !hasContentType) lines.push_back("Content-Type:");
  return true;
}

// Follows one transfer: keeps the header block and body of the latest
// response only, and where the exchange stood, so that a failure can be
// told apart (not sent, no answer, cut off while reading).
class Exchange : public CurlEasy::Listener {
 public:
  using Clock = std::chrono::steady_clock;

  std::string headers;
  std::string body;
  bool requestStarted = false;  // a request went out on a ready connection
  bool inHeaders = false;       // a response's header lines are arriving
  bool finalHeaders = false;    // a non-interim response's headers are complete
  int responsesSeen = 0;        // complete header blocks, interim ones included
  bool bodyTooLarge = false;
  long long sentSeen = 0;
  Clock::time_point lastActivity = Clock::now();

  void requestStarting() override {
    requestStarted = true;
    inHeaders = false;
    finalHeaders = false;
    sentSeen = 0;
    touch();
  }

  void headerLine(std::string_view line) override {
    touch();
    if (!inHeaders) {
      headers.clear();
      body.clear();
      inHeaders = true;
      finalHeaders = false;
    }
    headers.append(line);
    if (line != "\r\n" && line != "\n") return;
    inHeaders = false;
    ++responsesSeen;
    finalHeaders = statusCode() >= 200;
  }

  bool bodyData(std::string_view data) override {
    touch();
    if (body.size() + data.size() > kMaxBody) {
      bodyTooLarge = true;
      return false;
    }
    body.append(data);
    return true;
  }

  void touch() { lastActivity = Clock::now(); }

  bool stalledFor(int ms) const { return Clock::now() - lastActivity > std::chrono::milliseconds(ms); }

 private:
  int statusCode() const {
    const std::size_t blank = headers.find(' ');
    if (blank == std::string::npos) return 0;
    int code = 0;
    for (std::size_t i = blank + 1; i < headers.size() && i < blank + 4; ++i) {
      if (headers[i] < '0' || headers[i] > '9') return 0;
      code = code * 10 + (headers[i] - '0');
    }
    return code;
  }
};

// The failure text for a transfer that did not complete, or nullptr when a
// body was being read (the caller goes on with what arrived).
const char* failureText(CURLcode code, const Exchange& exchange, long long bodySize, long long sent) {
  // A redirect that cannot be followed fails while the answer is awaited.
  if (code == CURLE_TOO_MANY_REDIRECTS) return kNoResponse;
  if ((code == CURLE_UNSUPPORTED_PROTOCOL || code == CURLE_URL_MALFORMAT) && exchange.responsesSeen > 0) {
    return kNoResponse;
  }
  if (exchange.finalHeaders || exchange.bodyTooLarge) return nullptr;
  if (exchange.inHeaders || exchange.responsesSeen > 0) return kNoResponse;
  if (exchange.requestStarted) return code == CURLE_SEND_ERROR || sent < bodySize ? kSendFailed : kNoResponse;
  if (code == CURLE_URL_MALFORMAT || code == CURLE_UNSUPPORTED_PROTOCOL) return kBadUrl;
  return kSendFailed;
}

// Set-Cookie and Location lines of the response, events handled after each.
void readHeaderLines(const Text& headers, WebRequestInOut& io) {
  for (const Text& line : splitText(headers, "\r\n")) {
    if (textBeforeMarker(line, ": ") == "Set-Cookie") {
      const Text value = findText(line, ";") > 0 ? textBetween(line, "Set-Cookie:", ";")
                                                 : replaceText(line, "Set-Cookie:", "", 1, -1, false);
      io.returnedCookies += trimText(value) + "; ";
    }
    if (compareText(leftText(line, 10), "Location: ", false) == 0) io.location = midText(line, 11, textLength(line));
    platform::processEvents();
  }
}

// Re-decodes the body when its first bytes declare a charset other than GBK.
Text decodeDeclaredCharset(const Bytes& body, const Text& text) {
  data::RegexMatcher matcher;
  if (!matcher.search(kCharsetPattern, leftText(text, kCharsetWindow))) return text;
  Text charset = matcher.getSubMatch(1, 1);
  if (charset.empty() || charset == "gbk" || charset == "gb2312") return text;
  Text target = "GBK";
  const Bytes decoded = convertCharset(body, charset, target);
  // A charset name that nothing can decode leaves the text as it came.
  if (decoded.empty()) return text;
  return platform::toText(decoded);
}

struct Request {
  int method = kGet;
  std::string body;
  bool withBody = false;
};

Request requestOf(const WebRequestParams& params) {
  Request r;
  r.method = params.method >= 0 && params.method <= 7 ? params.method : kGet;
  r.body = params.postBytes.empty() ? std::string(params.postText)
                                    : std::string(params.postBytes.begin(), params.postBytes.end());
  r.withBody = r.method != kHead && (!r.body.empty() || r.method == kPost || r.method == kPut);
  return r;
}

// Sets the request up on the handle; the failure text of the first setting
// the handle refuses, nullptr when all are taken. request.body must outlive
// the transfer (libcurl sends it from where it is).
const char* configure(CurlEasy& curl, const std::string& url, const WebRequestParams& params, const Request& request,
                      const Text& sendCookies) {
  // What goes out: nothing beyond the caller's request and its header block.
  if (!curl.set(CURLOPT_URL, url.c_str()) || !curl.set(CURLOPT_PATH_AS_IS, 1L) ||
      !curl.set(CURLOPT_PROTOCOLS_STR, "http,https") || !curl.set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https")) {
    return kBadUrl;
  }
  // The proxy is set even when empty, so that none named in the environment
  // is used; the status line stays HTTP/1.1's.
  if (!curl.set(CURLOPT_PROXY, params.proxy.c_str()) || !curl.set(CURLOPT_NOPROXY, "") ||
      !curl.set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1)) ||
      !curl.set(CURLOPT_HTTP_CONTENT_DECODING, 0L) || !curl.set(CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L)) {
    return kNoSession;
  }
  if (!curl.set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(requestTimeoutMs(params.timeoutSeconds)))) {
    return kTimeoutsRefused;
  }

  bool ok = true;
  if (request.method == kHead) {
    ok = curl.set(CURLOPT_NOBODY, 1L);
  } else if (request.method != kGet && request.method != kPost) {
    ok = curl.set(CURLOPT_CUSTOMREQUEST, kMethods[request.method]);
  } else if (request.method == kGet && request.withBody) {
    ok = curl.set(CURLOPT_CUSTOMREQUEST, kMethods[kGet]);
  }
  // A body goes out with its length whatever the verb; POST itself stays a
  // plain POST so that a 301, 302 or 303 turns it into a GET.
  if (ok && request.withBody) {
    ok = curl.set(CURLOPT_POST, 1L) &&
         curl.set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size())) &&
         curl.set(CURLOPT_POSTFIELDS, request.body.data());
  }
  if (!ok) return kNoRequest;

  if (!params.userName.empty() && !params.password.empty()) {
    ok = curl.set(CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC)) &&
         curl.set(CURLOPT_USERNAME, params.userName.c_str()) && curl.set(CURLOPT_PASSWORD, params.password.c_str());
  }
  if (ok && !params.proxyUser.empty() && !params.proxyPassword.empty()) {
    ok = curl.set(CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_BASIC)) &&
         curl.set(CURLOPT_PROXYUSERNAME, params.proxyUser.c_str()) &&
         curl.set(CURLOPT_PROXYPASSWORD, params.proxyPassword.c_str());
  }
  if (!ok) return kCredentialsRefused;

  if (!curl.verifyPeers()) return kCertificatesRefused;

  if (!curl.set(CURLOPT_FOLLOWLOCATION, params.noRedirect ? 0L : 1L) || !curl.set(CURLOPT_MAXREDIRS, kMaxRedirects)) {
    return kRedirectRefused;
  }

  std::vector<std::string> lines;
  if (!toCurlLines(requestHeaderBlock(params, sendCookies), request.withBody, lines) || !curl.setHeaderLines(lines)) {
    return kHeadersRefused;
  }
  return nullptr;
}

// Headers, status, cookies and the body text of the response that arrived.
Text readResponse(const Exchange& exchange, bool readFailed, const WebRequestParams& params, WebRequestInOut& io) {
  const Text& headers = exchange.headers;
  if (headers.empty()) {
    platform::processEvents();
    return {};
  }
  io.returnedHeaders = headers;
  if (!readFailed) {
    const int end = findText(headers, "\r\n", 10);
    io.status = end > 0 ? midText(headers, 10, end - 10) : Text();
  }
  readHeaderLines(headers, io);

  if (io.returnedCookies.ends_with("; ")) io.returnedCookies.resize(io.returnedCookies.size() - 2);
  if (params.autoMergeCookies.value_or(true) && !io.sendCookies.empty()) {
    io.returnedCookies = mergeCookies(io.sendCookies, io.returnedCookies);
  }

  io.responseBytes.assign(exchange.body.begin(), exchange.body.end());
  const Text text = decodeDeclaredCharset(io.responseBytes, platform::toText(io.responseBytes));
  // Pending events run once after the charset step and once more on the way out.
  platform::processEvents();
  platform::processEvents();
  return text;
}

}  // namespace

int requestTimeoutMs(int timeoutSeconds) {
  if (timeoutSeconds <= 0) return 30000;
  return static_cast<int>(std::min<long long>(timeoutSeconds * 1000LL, INT_MAX));
}

Text requestHeaderBlock(const WebRequestParams& params, const Text& sendCookies) {
  Text block = params.extraHeaders.empty() ? Text() : params.extraHeaders + "\r\n";
  if (params.addDefaultHeaders.value_or(true)) {
    for (const DefaultLine& d : kDefaultLines) {
      if (d.postOnly && params.method != kPost) continue;
      if (findText(block, d.probe, 1, true) < 1) block += d.line;
    }
  }
  if (params.normalizeHeaders.value_or(true)) block = normalizeHeaderNames(block);
  if (findText(block, "Connection") > 0 && getHeaderValue(block, "Connection") == "keep-alive") {
    block = replaceText(block, "Connection: keep-alive\r\n", "");
  }
  if (findText(block, "Cookie:", 1, true) < 1 && !sendCookies.empty()) {
    if (findText(sendCookies, "Cookie:", 1, true) > 0) {
      block += "\r\n" + sendCookies + "\r\n";
    } else {
      block += "\r\nCookie: " + sendCookies + "\r\n";
    }
  }
  return block;
}

Text WebRequest(const WebRequestParams& params, WebRequestInOut& io) {
  const std::string url = wireUrl(params.url);
  if (!CurlEasy::isWebUrl(url)) return fail(io, kBadUrl);
  CurlEasy curl;
  if (!curl.valid()) return fail(io, kNoSession);

  const Request request = requestOf(params);
  if (const char* refused = configure(curl, url, params, request, io.sendCookies)) return fail(io, refused);

  Exchange exchange;
  curl.listen(exchange);
  // A phase fails after its time without progress: the connection by
  // libcurl's own connect time-out, a stalled send, wait or read here.
  const int timeoutMs = requestTimeoutMs(params.timeoutSeconds);
  const CURLcode code = curl.perform(
      [&] {
        const long long sent = curl.bytesSent();
        if (sent != exchange.sentSeen) {
          exchange.sentSeen = sent;
          exchange.touch();
        }
        return !exchange.requestStarted || !exchange.stalledFor(timeoutMs);
      },
      kPollMs);
  const bool readFailed = code != CURLE_OK;
  if (readFailed) {
    const char* text = failureText(code, exchange, static_cast<long long>(request.body.size()), curl.bytesSent());
    if (text != nullptr) return fail(io, text);
    io.status = kReadFailed;
  }
  return readResponse(exchange, readFailed, params, io);
}

}  // namespace quellbo::net
