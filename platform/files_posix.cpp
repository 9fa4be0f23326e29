#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>

#include "net/encodings.h"

namespace quellbo::platform {

namespace {

std::string nativePath(const Text& path) { return net::toUtf8(path); }

bool statPath(const Text& path, struct stat& info) { return ::stat(nativePath(path).c_str(), &info) == 0; }

bool writeAll(int fd, const std::string& content) {
  std::size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

Text runDirectory() {
  char buffer[PATH_MAX + 1];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, PATH_MAX);
  if (n <= 0) return ".";
  std::string exe(buffer, static_cast<std::size_t>(n));
  const auto slash = exe.rfind('/');
  if (slash == std::string::npos) return ".";
  exe.resize(slash == 0 ? 1 : slash);
  return net::fromUtf8(exe);
}

Text joinPath(const Text& dir, const Text& name) {
  if (dir.empty() || dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

bool fileExists(const Text& path) {
  struct stat info{};
  return !path.empty() && statPath(path, info);
}

bool isExistingDirectory(const Text& path) {
  struct stat info{};
  return !path.empty() && statPath(path, info) && S_ISDIR(info.st_mode);
}

bool isRegularFile(const Text& path) {
  struct stat info{};
  return !path.empty() && statPath(path, info) && S_ISREG(info.st_mode);
}

bool createDirectories(const Text& path) {
  if (path.empty()) return false;
  const std::string native = nativePath(path);
  for (std::size_t i = 1; i <= native.size(); ++i) {
    if (i != native.size() && native[i] != '/') continue;
    const std::string prefix = native.substr(0, i);
    if (::mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  return isExistingDirectory(path);
}

bool deleteFile(const Text& path) {
  if (path.empty() || isExistingDirectory(path)) return false;
  return ::unlink(nativePath(path).c_str()) == 0;
}

bool renameFile(const Text& from, const Text& to) {
  return !from.empty() && !to.empty() && ::rename(nativePath(from).c_str(), nativePath(to).c_str()) == 0;
}

bool readFileBytes(const Text& path, std::string& content) {
  content.clear();
  if (!isRegularFile(path)) return false;
  const int fd = ::open(nativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char buffer[65536];
  bool ok = true;
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    content.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  if (!ok) content.clear();
  return ok;
}

Text readFileText(const Text& path) {
  std::string content;
  if (!readFileBytes(path, content)) return {};
  const auto end = content.find_first_of(std::string("\0\x1A", 2));
  if (end != std::string::npos) content.resize(end);
  return content;
}

bool writeFileAtomically(const Text& path, const std::string& content, bool ownerOnly) {
  if (path.empty()) return false;
  const std::string native = nativePath(path);
  std::string temporary = native + ".tmp-XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return false;
  struct stat existing{};
  mode_t mode = ownerOnly ? 0600 : 0644;
  if (::stat(native.c_str(), &existing) == 0) mode = existing.st_mode & 0777;
  const bool written = ::fchmod(fd, mode) == 0 && writeAll(fd, content) && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed || ::rename(temporary.c_str(), native.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace quellbo::platform
