#pragma once

#include <curl/curl.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

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
  // False when the handle refused the settings.
  bool verifyPeers();
  // Only http and https, also after a redirect.
  void restrictToWeb();
  // Collects the body, up to maxBytes (the rest is refused as an error).
  void collectBody(std::string& body, std::size_t maxBytes);
  // Adds a header line list owned by this handle.
  bool setHeaderLines(const std::vector<std::string>& lines);

  // Streams a transfer as it happens instead of collecting it. Header lines
  // arrive one at a time, CR LF included, for every response (interim
  // answers and followed redirects too, each ending with its blank line).
  class Listener {
   public:
    virtual ~Listener() = default;
    // A connection is ready (proxy tunnel and TLS included) and a request is
    // about to go out on it; once per request, redirects included.
    virtual void requestStarting() {}
    virtual void headerLine(std::string_view line) = 0;
    // False refuses the data, which ends the transfer with a write error.
    virtual bool bodyData(std::string_view data) = 0;
  };
  void listen(Listener& listener);

  CURLcode perform();
  // Runs the transfer, asking keepGoing at least every pollMs; when it
  // answers false the transfer stops with CURLE_OPERATION_TIMEDOUT.
  CURLcode perform(const std::function<bool()>& keepGoing, int pollMs);
  long responseCode();
  // Request body bytes handed to the connection so far.
  long long bytesSent();
  static const char* describe(CURLcode code) { return curl_easy_strerror(code); }
  // Whether url parses as an http or https URL with a host.
  static bool isWebUrl(const std::string& url);

 private:
  struct Sink {
    std::string* body = nullptr;
    std::size_t maxBytes = 0;
  };
  static size_t writeBody(char* data, size_t size, size_t count, void* user);
  static size_t writeToListener(char* data, size_t size, size_t count, void* user);
  static size_t headerToListener(char* data, size_t size, size_t count, void* user);
  static int prereqToListener(void* user, char* primaryIp, char* localIp, int primaryPort, int localPort);

  CURL* m_handle = nullptr;
  curl_slist* m_headers = nullptr;
  Sink m_sink;
};

}  // namespace quellbo::net
