#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "net/encodings.h"

namespace quellbo::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quellbo-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  m_path = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

Text TempDir::text() const { return net::fromUtf8(m_path); }

Text TempDir::fileText(const Text& name) const { return text() + "/" + name; }

void TempDir::write(const Text& name, const std::string& content) const {
  std::ofstream out(file(net::toUtf8(name)), std::ios::binary);
  out << content;
}

std::string TempDir::read(const Text& name) const {
  std::ifstream in(file(net::toUtf8(name)), std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace quellbo::test
