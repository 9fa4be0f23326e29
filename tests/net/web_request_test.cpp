#include "net/web_request.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "net/curl_easy.h"
#include "platform/text.h"
#include "tests/support/fake_services.h"
#include "tests/support/scripted_server.h"
#include "tests/support/temp_dir.h"

namespace quellbo::net {
namespace {

using test::httpResponse;
using test::ScriptedServer;

const Text kJdAgent =
    "Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/50.0.2661.87 Safari/537.36";
const Text kDefaultAgent = "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n";
const Text kAcceptLines =
    "Accept: text/html, application/xhtml+xml, */*\r\nAccept-Encoding: gbk, GB2312\r\nAccept-Language: zh-cn\r\n";
const Text kFormType = "Content-Type: application/x-www-form-urlencoded\r\n";
const Text kNoCache = "Cache-Control: no-cache";

// UTF-8 and GBK bytes of 中文.
const std::string kUtf8Chinese = "\xE4\xB8\xAD\xE6\x96\x87";
const std::string kGbkChinese = "\xD6\xD0\xCE\xC4";

const std::string kEmptyOk = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n";

std::string requestLine(const std::string& request) { return request.substr(0, request.find("\r\n")); }

std::string requestBody(const std::string& request) {
  const std::size_t end = request.find("\r\n\r\n");
  return end == std::string::npos ? std::string() : request.substr(end + 4);
}

bool hasLine(const std::string& request, const std::string& line) {
  return request.find("\r\n" + line + "\r\n") != std::string::npos;
}

// A port on 127.0.0.1 that nothing listens on.
int closedPort() {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
  close(s);
  return ntohs(address.sin_port);
}

TEST(WebRequestHeaderBlockTest, BuildsTheBlockFromCallerLinesDefaultsAndCookies) {
  struct Case {
    const char* what;
    int method;
    Text extra;
    Text cookies;
    std::optional<bool> addDefaults;
    std::optional<bool> normalize;
    Text expected;
  };
  const Case cases[] = {
      {"the JD road's call",
       0,
       "User-Agent: " + kJdAgent,
       "pt_key=k; pt_pin=p",
       {},
       {},
       "User-Agent: " + kJdAgent + "\r\n" + kAcceptLines + kNoCache + "\r\nCookie: pt_key=k; pt_pin=p\r\n"},
      {"a caller's own cookie line wins",
       0,
       "cookie: mine=1",
       "a=1",
       {},
       {},
       "Cookie: mine=1\r\n" + kDefaultAgent + kAcceptLines + kNoCache},
      {"a cookie text with its own label goes as it is",
       0,
       "",
       "COOKIE: a=1",
       {},
       {},
       kDefaultAgent + kAcceptLines + kNoCache + "\r\nCOOKIE: a=1\r\n"},
      {"POST without a content type gets the form type",
       1,
       "",
       "",
       {},
       {},
       kDefaultAgent + kAcceptLines + kFormType + kNoCache},
      {"PUT gets no content type", 3, "", "", {}, {}, kDefaultAgent + kAcceptLines + kNoCache},
      {"any-case user agent replaces the default and is renamed",
       0,
       "user-agent: x",
       "",
       {},
       {},
       "User-Agent: x\r\n" + kAcceptLines + kNoCache},
      {"keep-alive is left to the connection",
       0,
       "Connection: keep-alive",
       "",
       {},
       {},
       kDefaultAgent + kAcceptLines + kNoCache},
      {"defaults and renaming off", 0, "x-a: 1", "", false, false, "x-a: 1\r\n"},
      {"nothing at all", 0, "", "", false, false, ""},
  };
  for (const Case& c : cases) {
    WebRequestParams params;
    params.method = c.method;
    params.extraHeaders = c.extra;
    params.addDefaultHeaders = c.addDefaults;
    params.normalizeHeaders = c.normalize;
    EXPECT_EQ(requestHeaderBlock(params, c.cookies), c.expected) << c.what;
  }
}

TEST(WebRequestTimeoutTest, EachPhaseGetsTheCallersSecondsOrThirty) {
  const std::pair<int, int> cases[] = {
      {0, 30000}, {-5, 30000}, {1, 1000}, {10, 10000}, {2147483, 2147483000}, {2147484, INT_MAX}, {INT_MAX, INT_MAX}};
  for (const auto& [seconds, ms] : cases) EXPECT_EQ(requestTimeoutMs(seconds), ms) << seconds;
}

class WebRequestTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server.running()); }

  Text url(const std::string& pathAndQuery) const { return server.baseUrl() + pathAndQuery; }

  test::FakeServices services;
  ScriptedServer server;
};

TEST_F(WebRequestTest, JdRoadCallSendsExactlyItsHeaderBlock) {
  const std::string answer = "{\"content\":\"ok\",\"errCode\":0}";
  ASSERT_TRUE(server.answer("/cps/zl", httpResponse("HTTP/1.1 200 OK", "Content-Type: application/json\r\n", answer)));
  WebRequestParams params;
  params.url = url("/cps/zl?content=") + "京东好价 https://u.jd.com/abc";
  params.extraHeaders = "User-Agent: " + kJdAgent;
  WebRequestInOut io;
  io.sendCookies = "pt_key=k; pt_pin=p";

  EXPECT_EQ(WebRequest(params, io), answer);

  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0],
            "GET /cps/zl?content=%E4%BA%AC%E4%B8%9C%E5%A5%BD%E4%BB%B7%20https://u.jd.com/abc HTTP/1.1\r\n"
            "Host: 127.0.0.1:" +
                std::to_string(server.port()) + "\r\nUser-Agent: " + kJdAgent + "\r\n" + kAcceptLines + kNoCache +
                "\r\nCookie: pt_key=k; pt_pin=p\r\n\r\n");
  EXPECT_EQ(io.status, "200 OK");
  EXPECT_EQ(io.responseBytes, Bytes(answer.begin(), answer.end()));
  EXPECT_EQ(io.sendCookies, "pt_key=k; pt_pin=p");
  EXPECT_EQ(io.returnedCookies, "pt_key=k; pt_pin=p");
}

TEST_F(WebRequestTest, MethodIndexPicksTheVerbAndOutOfRangeSendsGet) {
  ASSERT_TRUE(server.answer("/m", kEmptyOk));
  const std::pair<int, const char*> cases[] = {{0, "GET"},    {1, "POST"},  {2, "HEAD"},    {3, "PUT"}, {4, "OPTIONS"},
                                               {5, "DELETE"}, {6, "TRACE"}, {7, "CONNECT"}, {8, "GET"}, {-1, "GET"}};
  for (const auto& [method, verb] : cases) {
    WebRequestParams params;
    params.url = url("/m");
    params.method = method;
    WebRequestInOut io;
    WebRequest(params, io);
    EXPECT_EQ(io.status, "200 OK") << method;
  }
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), std::size(cases));
  for (std::size_t i = 0; i < requests.size(); ++i) {
    EXPECT_EQ(requestLine(requests[i]), std::string(cases[i].second) + " /m HTTP/1.1") << cases[i].first;
  }
}

TEST_F(WebRequestTest, RequestTargetIsPathAndQueryAsBuilt) {
  ASSERT_TRUE(server.answer("*", kEmptyOk));
  const std::pair<const char*, const char*> cases[] = {
      {"", "/"},
      {"?q=1", "/?q=1"},
      {"/a/../b/./c?x=1 2&y=中", "/a/../b/./c?x=1%202&y=%E4%B8%AD"},
  };
  for (const auto& [suffix, target] : cases) {
    WebRequestParams params;
    params.url = url(suffix);
    WebRequestInOut io;
    WebRequest(params, io);
  }
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), std::size(cases));
  for (std::size_t i = 0; i < requests.size(); ++i) {
    EXPECT_EQ(requestLine(requests[i]), std::string("GET ") + cases[i].second + " HTTP/1.1");
  }
}

TEST_F(WebRequestTest, BodyGoesOutWithItsLengthAndOnlyPostGetsTheFormType) {
  ASSERT_TRUE(server.answer("/b", kEmptyOk));
  WebRequestParams post;
  post.url = url("/b");
  post.method = 1;
  post.postText = "a=1";
  post.postBytes = {'b', '=', '2', '&', 'c'};
  WebRequestParams put = post;
  put.method = 3;
  put.postBytes.clear();
  for (const auto& params : {post, put}) {
    WebRequestInOut io;
    WebRequest(params, io);
    EXPECT_EQ(io.status, "200 OK");
  }
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requestLine(requests[0]), "POST /b HTTP/1.1");
  EXPECT_TRUE(hasLine(requests[0], "Content-Type: application/x-www-form-urlencoded"));
  EXPECT_TRUE(hasLine(requests[0], "Content-Length: 5"));
  EXPECT_EQ(requestBody(requests[0]), "b=2&c");
  EXPECT_EQ(requestLine(requests[1]), "PUT /b HTTP/1.1");
  EXPECT_EQ(requests[1].find("Content-Type"), std::string::npos);
  EXPECT_EQ(requestBody(requests[1]), "a=1");
  for (const auto& request : requests) EXPECT_EQ(request.find("Expect"), std::string::npos);
}

TEST_F(WebRequestTest, CredentialsAndProxyGoOutOnlyWhenBothTextsAreGiven) {
  ASSERT_TRUE(server.answer("*", kEmptyOk));
  WebRequestParams both;
  both.url = "http://converter.invalid/p?q=1";
  both.proxy = "127.0.0.1:" + std::to_string(server.port());
  both.userName = "user";
  both.password = "pass";
  both.proxyUser = "pu";
  both.proxyPassword = "pp";
  WebRequestParams halves = both;
  halves.password = "";
  halves.proxyUser = "";
  for (const auto& params : {both, halves}) {
    WebRequestInOut io;
    WebRequest(params, io);
    EXPECT_EQ(io.status, "200 OK");
  }
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requestLine(requests[0]), "GET http://converter.invalid/p?q=1 HTTP/1.1");
  EXPECT_TRUE(hasLine(requests[0], "Authorization: Basic dXNlcjpwYXNz"));
  EXPECT_TRUE(hasLine(requests[0], "Proxy-Authorization: Basic cHU6cHA="));
  EXPECT_EQ(requestLine(requests[1]), "GET http://converter.invalid/p?q=1 HTTP/1.1");
  EXPECT_EQ(requests[1].find("Authorization"), std::string::npos);
}

TEST_F(WebRequestTest, ProxiesNamedInTheEnvironmentAreNotUsed) {
  ASSERT_TRUE(server.answer("/direct", kEmptyOk));
  const int unused = closedPort();
  for (const char* name : {"http_proxy", "HTTPS_PROXY", "ALL_PROXY"}) {
    setenv(name, ("http://127.0.0.1:" + std::to_string(unused)).c_str(), 1);
  }
  WebRequestParams params;
  params.url = url("/direct");
  WebRequestInOut io;
  WebRequest(params, io);
  for (const char* name : {"http_proxy", "HTTPS_PROXY", "ALL_PROXY"}) unsetenv(name);
  EXPECT_EQ(io.status, "200 OK");
  ASSERT_EQ(server.requests().size(), 1u);
}

TEST_F(WebRequestTest, SetCookieLinesAreCollectedAndMergedIntoTheCallersCookies) {
  struct Case {
    Text sendCookies;
    std::optional<bool> merge;
    std::string setCookieLines;
    Text returned;
    Text sendAfter;
  };
  const Case cases[] = {
      {"", false, "Set-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\n", "a=1; b=2", ""},
      {"a=0; c=7; e=5", {}, "Set-Cookie: a=1; path=/\r\nSet-Cookie: c=deleted; Max-Age=0\r\n", "a=1; e=5", "a=1; e=5"},
      {"a=0; c=7", false, "Set-Cookie: a=1\r\n", "a=1", "a=0; c=7"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(server.answer("/c", httpResponse("HTTP/1.1 200 OK", c.setCookieLines, "")));
    WebRequestParams params;
    params.url = url("/c");
    params.autoMergeCookies = c.merge;
    WebRequestInOut io;
    io.sendCookies = c.sendCookies;
    WebRequest(params, io);
    EXPECT_EQ(io.returnedCookies, c.returned) << c.sendCookies;
    EXPECT_EQ(io.sendCookies, c.sendAfter) << c.sendCookies;
  }
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), std::size(cases));
  EXPECT_EQ(requests[0].find("Cookie"), std::string::npos);
  EXPECT_TRUE(hasLine(requests[1], "Cookie: a=0; c=7; e=5"));
}

TEST_F(WebRequestTest, RedirectIsReportedWhenNotFollowedAndFollowedOtherwise) {
  ASSERT_TRUE(server.answer("/start", httpResponse("HTTP/1.1 302 Found", "Location: /next\r\n", "moved")));
  ASSERT_TRUE(server.answer("/next", httpResponse("HTTP/1.1 200 OK", "Set-Cookie: n=1\r\n", "final")));

  WebRequestParams params;
  params.url = url("/start");
  params.noRedirect = true;
  WebRequestInOut reported;
  EXPECT_EQ(WebRequest(params, reported), "moved");
  EXPECT_EQ(reported.location, "/next");
  EXPECT_EQ(reported.status, "302 Found");
  EXPECT_EQ(reported.returnedHeaders.rfind("HTTP/1.1 302 Found\r\n", 0), 0u);
  EXPECT_EQ(reported.returnedCookies, "");

  params.noRedirect = false;
  WebRequestInOut followed;
  EXPECT_EQ(WebRequest(params, followed), "final");
  EXPECT_EQ(followed.status, "200 OK");
  EXPECT_EQ(followed.location, "");
  EXPECT_EQ(followed.returnedHeaders.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
  EXPECT_EQ(followed.returnedHeaders.find("302"), Text::npos);
  EXPECT_EQ(followed.returnedCookies, "n=1");

  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requestLine(requests[2]), "GET /next HTTP/1.1");
}

TEST_F(WebRequestTest, ErrorStatusIsAnAnswerWithItsBodyAndReason) {
  ASSERT_TRUE(server.answer("/gone", httpResponse("HTTP/1.1 404 Not Found", "X-A: 1\r\n", "no such page")));
  WebRequestParams params;
  params.url = url("/gone");
  WebRequestInOut io;
  EXPECT_EQ(WebRequest(params, io), "no such page");
  EXPECT_EQ(io.status, "404 Not Found");
  EXPECT_EQ(io.returnedHeaders, "HTTP/1.1 404 Not Found\r\nX-A: 1\r\nContent-Length: 12\r\n\r\n");
}

TEST_F(WebRequestTest, MetaCharsetInTheFirst1024BytesDecidesTheDecoding) {
  const std::string far = std::string(1100, ' ') + "<meta charset=utf-8>" + kUtf8Chinese;
  struct Case {
    const char* what;
    std::string body;
    Text expected;
  };
  const Case cases[] = {
      {"utf-8 is decoded", "<head><meta charset=\"utf-8\"></head>" + kUtf8Chinese,
       "<head><meta charset=\"utf-8\"></head>中文"},
      {"any case is seen", "<META CHARSET=UTF-8>" + kUtf8Chinese, "<META CHARSET=UTF-8>中文"},
      {"gbk is left as it is", "<meta content=\"text/html; charset=gbk\">" + kGbkChinese,
       "<meta content=\"text/html; charset=gbk\">" + kGbkChinese},
      {"a tag after byte 1024 is not seen", far, far},
      {"an unknown charset leaves the text", "<meta charset=x-no-such-set>abc", "<meta charset=x-no-such-set>abc"},
      {"no tag, no decoding", kUtf8Chinese, kUtf8Chinese},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(server.answer("/page", httpResponse("HTTP/1.1 200 OK", "", c.body)));
    WebRequestParams params;
    params.url = url("/page");
    WebRequestInOut io;
    EXPECT_EQ(WebRequest(params, io), c.expected) << c.what;
    EXPECT_EQ(io.responseBytes, Bytes(c.body.begin(), c.body.end())) << c.what;
  }
}

TEST_F(WebRequestTest, EventsRunAfterEachHeaderLineAndBeforeReturning) {
  ASSERT_TRUE(server.answer("/e", httpResponse("HTTP/1.1 200 OK", "A: 1\r\nB: 2\r\n", "x")));
  bool ran = false;
  services.queueEvent([&] { ran = true; });
  WebRequestParams params;
  params.url = url("/e");
  WebRequestInOut io;
  WebRequest(params, io);
  EXPECT_TRUE(ran);
  // Status line, A, B, Content-Length, the blank line; then the charset step
  // and the end.
  EXPECT_EQ(services.processEventsCalls, 5 + 2);
}

TEST_F(WebRequestTest, FailuresReportTheirTextAndLeaveTheOtherOutputsAlone) {
  ASSERT_TRUE(server.route("/mute", {}));
  ASSERT_TRUE(server.answer("/garbage", "this is not http\r\n\r\n"));
  struct Case {
    Text url;
    const char* status;
    Text extraHeaders = "";
    std::optional<bool> normalize = {};
    Text cookies = "a=1";
  };
  const Case cases[] = {
      {"ftp://127.0.0.1/x", "701 解析URL地址失败!"},
      {"127.0.0.1/x", "701 解析URL地址失败!"},
      {"http:///x", "701 解析URL地址失败!"},
      {"http://:80/x", "701 解析URL地址失败!"},
      {"http://a b/x", "701 解析URL地址失败!"},
      {url("/h"), "710 设置协议头失败!", "X-A: 1\r\nno colon here", false},
      {url("/h"), "710 设置协议头失败!", "", {}, "a=1\nInjected: 1"},
      {"http://127.0.0.1:" + std::to_string(closedPort()) + "/x", "711 发送请求失败!"},
      {url("/mute"), "712 服务器未响应!"},
      {url("/garbage"), "712 服务器未响应!"},
  };
  for (const Case& c : cases) {
    WebRequestParams params;
    params.url = c.url;
    params.extraHeaders = c.extraHeaders;
    params.normalizeHeaders = c.normalize;
    WebRequestInOut io;
    io.sendCookies = c.cookies;
    io.returnedCookies = "kept";
    io.returnedHeaders = "kept";
    io.location = "kept";
    io.responseBytes = {'k'};
    EXPECT_EQ(WebRequest(params, io), "") << c.url;
    EXPECT_EQ(io.status, c.status) << c.url;
    EXPECT_EQ(io.sendCookies, c.cookies);
    EXPECT_EQ(io.returnedCookies, "kept");
    EXPECT_EQ(io.returnedHeaders, "kept");
    EXPECT_EQ(io.location, "kept");
    EXPECT_EQ(io.responseBytes, Bytes{'k'});
  }
  // Only the requests that were sent reached the server.
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requestLine(requests[0]), "GET /mute HTTP/1.1");
}

// A listening socket that nobody accepts from: connections complete, and
// what is sent sits in the buffers until they are full.
class DeafListener {
 public:
  DeafListener() {
    m_socket = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(m_socket, 4);
    getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
  }
  ~DeafListener() { close(m_socket); }
  Text url() const { return "http://127.0.0.1:" + std::to_string(m_port) + "/deaf"; }

 private:
  int m_socket = -1;
  int m_port = 0;
};

TEST_F(WebRequestTest, StalledSendIsAFailedSend) {
  DeafListener deaf;
  WebRequestParams params;
  params.url = deaf.url();
  params.method = 1;
  params.postBytes.assign(std::size_t{16} << 20, 'x');
  params.timeoutSeconds = 1;
  WebRequestInOut io;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(WebRequest(params, io), "");
  EXPECT_EQ(io.status, "711 发送请求失败!");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
}

TEST_F(WebRequestTest, SilentServerGivesNoResponseWithinTheTimeout) {
  ASSERT_TRUE(server.route("/silent", {ScriptedServer::hang()}));
  WebRequestParams params;
  params.url = url("/silent");
  params.timeoutSeconds = 1;
  WebRequestInOut io;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(WebRequest(params, io), "");
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(io.status, "712 服务器未响应!");
  EXPECT_GE(elapsed, std::chrono::milliseconds(950));
  EXPECT_LT(elapsed, std::chrono::milliseconds(2500));
}

TEST_F(WebRequestTest, BodyCutOffMidwayKeepsWhatArrivedAndGoesOn) {
  const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\nSet-Cookie: s=1; path=/\r\n\r\n";
  const std::string part = "<meta charset=utf-8>" + kUtf8Chinese;
  ASSERT_TRUE(
      server.route("/reset", {ScriptedServer::send(head + part), ScriptedServer::sleep(300), ScriptedServer::reset()}));
  ASSERT_TRUE(server.route("/stall", {ScriptedServer::send(head + part), ScriptedServer::hang()}));
  for (const char* path : {"/reset", "/stall"}) {
    WebRequestParams params;
    params.url = url(path);
    params.timeoutSeconds = 1;
    WebRequestInOut io;
    EXPECT_EQ(WebRequest(params, io), "<meta charset=utf-8>中文") << path;
    EXPECT_EQ(io.status, "713 读取数据失败!") << path;
    EXPECT_EQ(io.responseBytes, Bytes(part.begin(), part.end())) << path;
    EXPECT_EQ(io.returnedHeaders, head) << path;
    EXPECT_EQ(io.returnedCookies, "s=1") << path;
  }
}

class WebRequestHttpsTest : public ::testing::Test {
 protected:
  void TearDown() override { setExtraCaFile(""); }

  test::FakeServices services;
  test::TempDir folder;
  test::TestCertificates certificates = test::makeTestCertificates(folder.path());
};

TEST_F(WebRequestHttpsTest, UnknownCertificateIsRefusedUntilItsCaIsTrusted) {
  ASSERT_FALSE(certificates.caFile.empty());
  ScriptedServer server(certificates.certFile, certificates.keyFile);
  ASSERT_TRUE(server.running());
  ASSERT_TRUE(server.answer("/s", httpResponse("HTTP/1.1 200 OK", "", "secret")));
  WebRequestParams params;
  params.url = server.baseUrl() + "/s";

  WebRequestInOut refused;
  EXPECT_EQ(WebRequest(params, refused), "");
  EXPECT_EQ(refused.status, "711 发送请求失败!");

  setExtraCaFile(folder.fileText("ca.pem"));
  WebRequestInOut accepted;
  EXPECT_EQ(WebRequest(params, accepted), "secret");
  EXPECT_EQ(accepted.status, "200 OK");
  // Only the second request got past the handshake.
  EXPECT_EQ(server.requests().size(), 1u);
}

}  // namespace
}  // namespace quellbo::net
