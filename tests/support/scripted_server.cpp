#include "tests/support/scripted_server.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace quellbo::test {

namespace {
constexpr const char* kPython = "/usr/bin/python3";
constexpr const char* kScript = QUELLBO_SOURCE_DIR "/tests/support/scripted_server.py";

std::string hex(std::string_view bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 0xF];
  }
  return out;
}

std::string unhex(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
    out += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
  }
  return out;
}

// Runs a program with its arguments and waits for it; true when it exits 0.
bool runQuietly(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return false;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
}  // namespace

ScriptedServer::ScriptedServer() { start({kPython, kScript}); }

ScriptedServer::ScriptedServer(const std::string& certFile, const std::string& keyFile) {
  m_tls = true;
  start({kPython, kScript, "--tls", certFile, keyFile});
}

void ScriptedServer::start(const std::vector<std::string>& args) {
  // A server that died must not take the test down with it on the next write.
  signal(SIGPIPE, SIG_IGN);
  int toChild[2];
  int fromChild[2];
  if (pipe2(toChild, O_CLOEXEC) != 0) return;
  if (pipe2(fromChild, O_CLOEXEC) != 0) {
    close(toChild[0]);
    close(toChild[1]);
    return;
  }
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, toChild[0], 0);
  posix_spawn_file_actions_adddup2(&actions, fromChild[1], 1);
  const int spawned = posix_spawn(&m_pid, kPython, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(toChild[0]);
  close(fromChild[1]);
  if (spawned != 0) {
    m_pid = -1;
    close(toChild[1]);
    close(fromChild[0]);
    return;
  }
  m_to = fdopen(toChild[1], "w");
  m_from = fdopen(fromChild[0], "r");
  const std::string first = readLine();
  if (first.rfind("port ", 0) == 0) m_port = std::atoi(first.c_str() + 5);
}

ScriptedServer::~ScriptedServer() {
  if (m_to != nullptr) std::fclose(m_to);  // end of input stops the server
  if (m_from != nullptr) std::fclose(m_from);
  if (m_pid <= 0) return;
  for (int i = 0; i < 100; ++i) {
    if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(m_pid, SIGKILL);
  waitpid(m_pid, nullptr, 0);
}

std::string ScriptedServer::baseUrl() const {
  return std::string(m_tls ? "https" : "http") + "://127.0.0.1:" + std::to_string(m_port);
}

std::string ScriptedServer::send(std::string_view bytes) { return "send:" + hex(bytes); }

std::string ScriptedServer::sleep(int ms) { return "sleep:" + std::to_string(ms); }

std::string ScriptedServer::readLine() {
  if (m_from == nullptr) return {};
  std::string line;
  int c = 0;
  while ((c = std::fgetc(m_from)) != EOF && c != '\n') line += static_cast<char>(c);
  return line;
}

std::string ScriptedServer::command(const std::string& line) {
  if (m_to == nullptr) return {};
  std::fputs((line + "\n").c_str(), m_to);
  std::fflush(m_to);
  return readLine();
}

bool ScriptedServer::route(const std::string& path, const std::vector<std::string>& steps) {
  std::string line = "route " + path;
  for (const auto& step : steps) line += " " + step;
  return command(line) == "ok";
}

std::vector<std::string> ScriptedServer::requests() {
  const std::string count = command("requests");
  std::vector<std::string> out;
  const int n = count.empty() ? 0 : std::atoi(count.c_str());
  for (int i = 0; i < n; ++i) out.push_back(unhex(readLine()));
  return out;
}

std::string httpResponse(std::string_view statusLine, std::string_view headerLines, std::string_view body) {
  std::string out(statusLine);
  out += "\r\n";
  out += headerLines;
  out += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  out += body;
  return out;
}

TestCertificates makeTestCertificates(const std::string& folder) {
  const std::string ca = folder + "/ca.pem";
  const std::string caKey = folder + "/ca.key";
  const std::string key = folder + "/server.key";
  const std::string request = folder + "/server.csr";
  const std::string cert = folder + "/server.pem";
  const std::string extensions = folder + "/server.ext";
  {
    std::FILE* f = std::fopen(extensions.c_str(), "w");
    if (f == nullptr) return {};
    std::fputs("subjectAltName=IP:127.0.0.1\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n", f);
    std::fclose(f);
  }
  const std::vector<std::string> curve = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"};
  std::vector<std::string> makeCa = {"openssl", "req", "-x509"};
  makeCa.insert(makeCa.end(), curve.begin(), curve.end());
  makeCa.insert(makeCa.end(),
                {"-keyout", caKey, "-out", ca, "-days", "2", "-subj", "/CN=Stand-in Test CA", "-addext",
                 "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=critical,keyCertSign,cRLSign"});
  std::vector<std::string> makeRequest = {"openssl", "req"};
  makeRequest.insert(makeRequest.end(), curve.begin(), curve.end());
  makeRequest.insert(makeRequest.end(), {"-keyout", key, "-out", request, "-subj", "/CN=127.0.0.1"});
  const std::vector<std::string> sign = {
      "openssl",         "x509", "-req", "-in",   request, "-CA",      ca,        "-CAkey", caKey,
      "-CAcreateserial", "-out", cert,   "-days", "2",     "-extfile", extensions};
  if (!runQuietly(makeCa) || !runQuietly(makeRequest) || !runQuietly(sign)) return {};
  return {ca, cert, key};
}

}  // namespace quellbo::test
