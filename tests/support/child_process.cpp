#include "tests/support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace quellbo::test {

ChildProcess::ChildProcess(std::vector<std::string> args, const std::string& display, int fd3, bool quiet,
                           int stdoutFd) {
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    if (display.empty() || std::string(*e).rfind("DISPLAY=", 0) != 0) env.emplace_back(*e);
  }
  if (!display.empty()) env.push_back("DISPLAY=" + display);
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (fd3 >= 0) posix_spawn_file_actions_adddup2(&actions, fd3, 3);
  if (stdoutFd >= 0) posix_spawn_file_actions_adddup2(&actions, stdoutFd, 1);
  if (quiet) {
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  }
  if (posix_spawnp(&m_pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) m_pid = 0;
  posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::~ChildProcess() {
  if (m_pid <= 0) return;
  kill(m_pid, SIGTERM);
  waitpid(m_pid, nullptr, 0);
}

}  // namespace quellbo::test
