#include "net/curl_easy.h"

#include <memory>
#include <mutex>

#include "net/encodings.h"

namespace quellbo::net {

namespace {
Text g_extraCaFile;

void initializeOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}
}  // namespace

void setExtraCaFile(const Text& path) { g_extraCaFile = path; }

Text extraCaFile() { return g_extraCaFile; }

CurlEasy::CurlEasy() {
  initializeOnce();
  m_handle = curl_easy_init();
  set(CURLOPT_NOSIGNAL, 1L);
}

CurlEasy::~CurlEasy() {
  if (m_handle != nullptr) curl_easy_cleanup(m_handle);
  if (m_headers != nullptr) curl_slist_free_all(m_headers);
}

bool CurlEasy::verifyPeers() {
  if (!set(CURLOPT_SSL_VERIFYPEER, 1L) || !set(CURLOPT_SSL_VERIFYHOST, 2L)) return false;
  if (g_extraCaFile.empty()) return true;
  // CAINFO replaces the default bundle, so name the system's store as the
  // path and the extra file as the bundle: both are trusted.
  const std::string file = toUtf8(g_extraCaFile);
  return set(CURLOPT_CAPATH, "/etc/ssl/certs") && set(CURLOPT_CAINFO, file.c_str());
}

void CurlEasy::restrictToWeb() {
  set(CURLOPT_PROTOCOLS_STR, "http,https");
  set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
}

size_t CurlEasy::writeBody(char* data, size_t size, size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  const size_t n = size * count;
  if (sink->body->size() + n > sink->maxBytes) return 0;
  sink->body->append(data, n);
  return n;
}

void CurlEasy::collectBody(std::string& body, std::size_t maxBytes) {
  m_sink.body = &body;
  m_sink.maxBytes = maxBytes;
  set(CURLOPT_WRITEFUNCTION, &CurlEasy::writeBody);
  set(CURLOPT_WRITEDATA, &m_sink);
}

bool CurlEasy::setHeaderLines(const std::vector<std::string>& lines) {
  if (m_headers != nullptr) curl_slist_free_all(m_headers);
  m_headers = nullptr;
  for (const auto& line : lines) {
    curl_slist* next = curl_slist_append(m_headers, line.c_str());
    if (next == nullptr) return false;
    m_headers = next;
  }
  return set(CURLOPT_HTTPHEADER, m_headers);
}

size_t CurlEasy::writeToListener(char* data, size_t size, size_t count, void* user) {
  const size_t n = size * count;
  return static_cast<Listener*>(user)->bodyData(std::string_view(data, n)) ? n : 0;
}

size_t CurlEasy::headerToListener(char* data, size_t size, size_t count, void* user) {
  const size_t n = size * count;
  static_cast<Listener*>(user)->headerLine(std::string_view(data, n));
  return n;
}

int CurlEasy::prereqToListener(void* user, char*, char*, int, int) {
  static_cast<Listener*>(user)->requestStarting();
  return CURL_PREREQFUNC_OK;
}

void CurlEasy::listen(Listener& listener) {
  set(CURLOPT_WRITEFUNCTION, &CurlEasy::writeToListener);
  set(CURLOPT_WRITEDATA, &listener);
  set(CURLOPT_HEADERFUNCTION, &CurlEasy::headerToListener);
  set(CURLOPT_HEADERDATA, &listener);
  set(CURLOPT_PREREQFUNCTION, &CurlEasy::prereqToListener);
  set(CURLOPT_PREREQDATA, &listener);
}

CURLcode CurlEasy::perform() {
  if (m_handle == nullptr) return CURLE_FAILED_INIT;
  return curl_easy_perform(m_handle);
}

CURLcode CurlEasy::perform(const std::function<bool()>& keepGoing, int pollMs) {
  if (m_handle == nullptr) return CURLE_FAILED_INIT;
  // The multi interface lets the caller look at the transfer while it waits,
  // which a plain perform would not.
  std::unique_ptr<CURLM, decltype(&curl_multi_cleanup)> multi(curl_multi_init(), &curl_multi_cleanup);
  if (multi == nullptr || curl_multi_add_handle(multi.get(), m_handle) != CURLM_OK) return CURLE_OUT_OF_MEMORY;
  CURLcode result = CURLE_OK;
  bool finished = false;
  while (!finished) {
    int running = 0;
    if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
      result = CURLE_OUT_OF_MEMORY;
      break;
    }
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi.get(), &queued)) {
      if (message->msg != CURLMSG_DONE || message->easy_handle != m_handle) continue;
      result = message->data.result;
      finished = true;
    }
    if (finished) break;
    if (!keepGoing()) {
      result = CURLE_OPERATION_TIMEDOUT;
      break;
    }
    if (curl_multi_poll(multi.get(), nullptr, 0, pollMs, nullptr) != CURLM_OK) {
      result = CURLE_OUT_OF_MEMORY;
      break;
    }
  }
  curl_multi_remove_handle(multi.get(), m_handle);
  return result;
}

long long CurlEasy::bytesSent() {
  curl_off_t sent = 0;
  if (m_handle != nullptr) curl_easy_getinfo(m_handle, CURLINFO_SIZE_UPLOAD_T, &sent);
  return static_cast<long long>(sent);
}

bool CurlEasy::isWebUrl(const std::string& url) {
  initializeOnce();
  // libcurl reads "http:///x" as the host "x"; a URL with an empty host is no URL.
  const std::size_t authority = url.find("://");
  if (authority == std::string::npos || url.compare(authority + 3, 1, "/") == 0) return false;
  std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> parsed(curl_url(), &curl_url_cleanup);
  if (parsed == nullptr || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) return false;
  char* scheme = nullptr;
  char* host = nullptr;
  bool web = false;
  if (curl_url_get(parsed.get(), CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
      curl_url_get(parsed.get(), CURLUPART_HOST, &host, 0) == CURLUE_OK) {
    const std::string s = scheme;
    web = (s == "http" || s == "https") && host[0] != '\0';
  }
  curl_free(scheme);
  curl_free(host);
  return web;
}

long CurlEasy::responseCode() {
  long code = 0;
  if (m_handle != nullptr) curl_easy_getinfo(m_handle, CURLINFO_RESPONSE_CODE, &code);
  return code;
}

}  // namespace quellbo::net
