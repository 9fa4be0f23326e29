#pragma once

#include <string>

#include "platform/text.h"

namespace quellbo::test {

// A fresh folder under the system's temporary folder, removed with all its
// content when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // Native (UTF-8) path of the folder, and of a name inside it.
  const std::string& path() const { return m_path; }
  std::string file(const std::string& name) const { return m_path + "/" + name; }
  // The same as Text, for the program's own calls.
  Text text() const;
  Text fileText(const Text& name) const;

  // Writes or reads raw bytes of a file inside the folder; the name is a
  // Text like every name the program handles.
  void write(const Text& name, const std::string& content) const;
  std::string read(const Text& name) const;

 private:
  std::string m_path;
};

}  // namespace quellbo::test
