#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_dir.h"

extern char** environ;

namespace quellbo {
namespace {

// The standard output of a shell command, trailing line breaks removed.
std::string capture(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  std::array<char, 4096> buffer{};
  while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) out += buffer.data();
  pclose(pipe);
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

// Starts program with the environment given on top of ours; its output goes
// to log.
pid_t start(const std::string& program, const std::vector<std::string>& extraEnv, const std::string& log) {
  std::vector<std::string> env = extraEnv;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    if (entry.rfind("LC_", 0) == 0 || entry.rfind("LANG=", 0) == 0 || entry.rfind("QT_QPA_PLATFORM=", 0) == 0) continue;
    env.push_back(entry);
  }
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string arg0 = program;
  char* argv[] = {arg0.data(), nullptr};

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  pid_t pid = -1;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// The exit status, or -1 when the process has not ended within limitMs (it
// is then killed).
int waitForExit(pid_t pid, int limitMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class ProgramTest : public ::testing::TestWithParam<const char*> {};

// The executable alone in an empty folder, under a locale that is not UTF-8
// as under one that is: the window opens with its title and, closed through
// the window manager, the program ends with status 0.
TEST_P(ProgramTest, RunsAloneAndEndsCleanlyWhenItsWindowIsClosed) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "needs an X display: run under tools/with-xvfb.sh";
  test::TempDir dir;
  const std::string program = dir.file("quellbo");
  std::filesystem::copy_file(QUELLBO_EXECUTABLE, program);
  const std::string log = dir.file("output.txt");

  const pid_t pid = start(program, {std::string("LC_ALL=") + GetParam(), "XDG_RUNTIME_DIR=" + dir.path()}, log);
  ASSERT_GT(pid, 0);
  const std::string window =
      capture("timeout 15 xdotool search --sync --onlyvisible --pid " + std::to_string(pid) + " --name Quellbo");
  ASSERT_FALSE(window.empty()) << "no window appeared\n" << dir.read("output.txt");
  const std::string id = window.substr(window.rfind('\n') + 1);
  // UTF-8 of "Quellbo转链工具", as the window manager reads the title.
  EXPECT_EQ(capture("xprop -id " + id + " _NET_WM_NAME"),
            "_NET_WM_NAME(UTF8_STRING) = \"Quellbo\xE8\xBD\xAC\xE9\x93\xBE\xE5\xB7\xA5\xE5\x85\xB7\"");

  capture("xdotool windowactivate --sync " + id + " key --clearmodifiers alt+F4");
  EXPECT_EQ(waitForExit(pid, 15000), 0) << dir.read("output.txt");
}

INSTANTIATE_TEST_SUITE_P(Locales, ProgramTest, ::testing::Values("C", "C.UTF-8"));

}  // namespace
}  // namespace quellbo
