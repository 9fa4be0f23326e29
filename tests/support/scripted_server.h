#pragma once

#include <sys/types.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace quellbo::test {

// A scripted web server on 127.0.0.1 that the test starts and that stops
// with it (tests/support/scripted_server.py run by /usr/bin/python3). It
// records each request's raw bytes and answers each path with raw steps.
class ScriptedServer {
 public:
  // Plain HTTP; or HTTPS with this certificate chain and key (PEM files).
  ScriptedServer();
  ScriptedServer(const std::string& certFile, const std::string& keyFile);
  ~ScriptedServer();
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;

  bool running() const { return m_port > 0; }
  int port() const { return m_port; }
  // "http://127.0.0.1:PORT" or "https://127.0.0.1:PORT".
  std::string baseUrl() const;

  // Steps of an answer, run in order.
  static std::string send(std::string_view bytes);
  static std::string sleep(int ms);
  static std::string reset() { return "reset"; }
  static std::string hang() { return "hang"; }

  // Answers requests for path (query left out; "*" for any path without a
  // route of its own) with these steps. Returns whether the server took it.
  bool route(const std::string& path, const std::vector<std::string>& steps);
  // Shorthand: one complete response.
  bool answer(const std::string& path, std::string_view response) { return route(path, {send(response)}); }
  // The raw requests received so far, in order.
  std::vector<std::string> requests();

 private:
  void start(const std::vector<std::string>& args);
  std::string command(const std::string& line);
  std::string readLine();

  pid_t m_pid = -1;
  std::FILE* m_to = nullptr;
  std::FILE* m_from = nullptr;
  int m_port = 0;
  bool m_tls = false;
};

// A complete HTTP/1.1 response with a Content-Length header added after the
// given header lines (each ending with CR LF).
std::string httpResponse(std::string_view statusLine, std::string_view headerLines, std::string_view body);

// A throwaway CA and a server certificate for 127.0.0.1 signed by it, made
// with the openssl tool in folder. Empty paths when that fails.
struct TestCertificates {
  std::string caFile;
  std::string certFile;
  std::string keyFile;
};
TestCertificates makeTestCertificates(const std::string& folder);

}  // namespace quellbo::test
