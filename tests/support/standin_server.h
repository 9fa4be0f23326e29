#pragma once

#include <memory>
#include <string>
#include <vector>

namespace quellbo::test {

class ChildProcess;

// Runs tools/standin_server.py on 127.0.0.1 for as long as the object lives.
class StandinServer {
 public:
  // extraArgs go to the script (for example "--cert", path, "--key", path).
  explicit StandinServer(const std::vector<std::string>& extraArgs = {});
  ~StandinServer();
  StandinServer(const StandinServer&) = delete;
  StandinServer& operator=(const StandinServer&) = delete;

  bool running() const { return m_port > 0; }
  int port() const { return m_port; }
  // "http://127.0.0.1:PORT" (https with a certificate).
  std::string baseUrl() const;
  // Every request the server has seen, as the JSON it keeps.
  std::string requestsJson() const;
  // The raw body /gx.html answers from now on.
  void setUpdateDocument(const std::string& body) const;

 private:
  std::unique_ptr<ChildProcess> m_process;
  int m_port = 0;
  bool m_tls = false;
};

}  // namespace quellbo::test
