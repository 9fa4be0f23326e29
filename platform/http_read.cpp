#include "platform/http_read.h"

#include "net/curl_easy.h"
#include "net/url.h"

namespace quellbo::platform {

namespace {
constexpr std::size_t kMaxBody = 64u << 20;
}

Bytes httpReadFile(const Text& url) {
  net::CurlEasy curl;
  if (!curl.valid()) return {};
  const std::string wire = net::wireUrl(url);
  std::string body;
  curl.set(CURLOPT_URL, wire.c_str());
  curl.set(CURLOPT_PATH_AS_IS, 1L);
  curl.restrictToWeb();
  curl.verifyPeers();
  curl.set(CURLOPT_FOLLOWLOCATION, 1L);
  curl.set(CURLOPT_MAXREDIRS, 10L);
  curl.set(CURLOPT_CONNECTTIMEOUT_MS, kHttpConnectTimeoutMs);
  curl.set(CURLOPT_TIMEOUT_MS, kHttpTransferTimeoutMs);
  curl.collectBody(body, kMaxBody);
  if (curl.perform() != CURLE_OK) return {};
  return Bytes(body.begin(), body.end());
}

}  // namespace quellbo::platform
