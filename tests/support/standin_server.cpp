#include "tests/support/standin_server.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "net/curl_easy.h"
#include "tests/support/child_process.h"

namespace quellbo::test {

namespace {

// Reads the first line the child prints, waiting at most timeoutMs.
std::string readLine(int fd, int timeoutMs) {
  std::string line;
  pollfd p{fd, POLLIN, 0};
  while (line.find('\n') == std::string::npos) {
    if (poll(&p, 1, timeoutMs) <= 0) break;
    char buffer[256];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    line.append(buffer, static_cast<std::size_t>(n));
  }
  return line;
}

std::string fetch(const std::string& url, const char* method, const std::string& body) {
  net::CurlEasy curl;
  std::string answer;
  curl.set(CURLOPT_URL, url.c_str());
  curl.set(CURLOPT_SSL_VERIFYPEER, 0L);
  curl.set(CURLOPT_SSL_VERIFYHOST, 0L);
  curl.set(CURLOPT_TIMEOUT_MS, 5000L);
  curl.set(CURLOPT_CUSTOMREQUEST, method);
  if (!body.empty() || std::strcmp(method, "PUT") == 0) {
    curl.set(CURLOPT_POSTFIELDS, body.c_str());
    curl.set(CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
  }
  curl.collectBody(answer, 1u << 26);
  curl.perform();
  return answer;
}

}  // namespace

StandinServer::StandinServer(const std::vector<std::string>& extraArgs) {
  m_tls = std::find(extraArgs.begin(), extraArgs.end(), "--cert") != extraArgs.end();
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return;
  std::vector<std::string> args = {"/usr/bin/python3", QUELLBO_SOURCE_DIR "/tools/standin_server.py", "--port", "0"};
  args.insert(args.end(), extraArgs.begin(), extraArgs.end());
  m_process = std::make_unique<ChildProcess>(args, "", -1, false, out[1]);
  close(out[1]);
  const std::string line = readLine(out[0], 10000);
  close(out[0]);
  if (std::sscanf(line.c_str(), "listening on %d", &m_port) != 1) m_port = 0;
}

StandinServer::~StandinServer() = default;

std::string StandinServer::baseUrl() const {
  return std::string(m_tls ? "https" : "http") + "://127.0.0.1:" + std::to_string(m_port);
}

std::string StandinServer::requestsJson() const { return fetch(baseUrl() + "/_standin/requests", "GET", ""); }

void StandinServer::setUpdateDocument(const std::string& body) const {
  fetch(baseUrl() + "/_standin/update", "PUT", body);
}

}  // namespace quellbo::test
