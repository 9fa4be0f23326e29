#include "net/curl_easy.h"

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

void CurlEasy::verifyPeers() {
  set(CURLOPT_SSL_VERIFYPEER, 1L);
  set(CURLOPT_SSL_VERIFYHOST, 2L);
  if (g_extraCaFile.empty()) return;
  // CAINFO replaces the default bundle, so name the system's store as the
  // path and the extra file as the bundle: both are trusted.
  set(CURLOPT_CAPATH, "/etc/ssl/certs");
  const std::string file = toUtf8(g_extraCaFile);
  set(CURLOPT_CAINFO, file.c_str());
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

CURLcode CurlEasy::perform() {
  if (m_handle == nullptr) return CURLE_FAILED_INIT;
  return curl_easy_perform(m_handle);
}

long CurlEasy::responseCode() {
  long code = 0;
  if (m_handle != nullptr) curl_easy_getinfo(m_handle, CURLINFO_RESPONSE_CODE, &code);
  return code;
}

}  // namespace quellbo::net
