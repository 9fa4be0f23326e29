#pragma once

#include <curl/curl.h>

#include <string>

#include "platform/text.h"

namespace quellbo::net {

// An extra CA bundle trusted for HTTPS besides the system's, for networks
// with their own CA and for stand-in servers; "" for none.
void setExtraCaFile(const Text& path);
Text extraCaFile();

// The one owner of a CURL easy handle: every call of libcurl goes through
// here. Each request gets its own handle, and none outlives its request.
class CurlEasy {
 public:
  CurlEasy();
  ~CurlEasy();
  CurlEasy(const CurlEasy&) = delete;
  CurlEasy& operator=(const CurlEasy&) = delete;

  bool valid() const { return m_handle != nullptr; }

  template <typename T>
  bool set(CURLoption option, T value) {
    return m_handle != nullptr && curl_easy_setopt(m_handle, option, value) == CURLE_OK;
  }
  // Certificates are verified, against the system's CAs and the extra file.
  void verifyPeers();
  // Only http and https, also after a redirect.
  void restrictToWeb();
  // Collects the body, up to maxBytes (the rest is refused as an error).
  void collectBody(std::string& body, std::size_t maxBytes);
  // Adds a header line list owned by this handle.
  bool setHeaderLines(const std::vector<std::string>& lines);

  CURLcode perform();
  long responseCode();
  static const char* describe(CURLcode code) { return curl_easy_strerror(code); }

 private:
  struct Sink {
    std::string* body = nullptr;
    std::size_t maxBytes = 0;
  };
  static size_t writeBody(char* data, size_t size, size_t count, void* user);

  CURL* m_handle = nullptr;
  curl_slist* m_headers = nullptr;
  Sink m_sink;
};

}  // namespace quellbo::net
