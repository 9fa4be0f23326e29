#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace quellbo::test {

// A child process, ended when the object goes.
class ChildProcess {
 public:
  // display names the X display the child runs on ("" keeps ours); fd3, when
  // given, is handed to the child as its descriptor 3; a quiet child's output
  // is dropped; stdoutFd, when given, receives the child's standard output.
  explicit ChildProcess(std::vector<std::string> args, const std::string& display = "", int fd3 = -1,
                        bool quiet = false, int stdoutFd = -1);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return m_pid > 0; }

 private:
  pid_t m_pid = 0;
};

}  // namespace quellbo::test
