#pragma once

#include <optional>

#include "platform/text.h"

namespace quellbo::platform {

// Longest value a read gives back: a 10240-byte buffer with its terminator.
inline constexpr int kIniReadLimit = 10239;

// An INI file with the private-profile semantics: sections and keys match
// without regard to ASCII case, values lose surrounding blanks and one pair
// of enclosing double quotes, and every line it does not change is kept.
class IniFile {
 public:
  // A missing or unreadable file loads as an empty one.
  static IniFile load(const Text& path);

  std::optional<Text> value(const Text& section, const Text& key) const;
  // Sets the key, creating section and key when missing; nullopt deletes it.
  void setValue(const Text& section, const Text& key, const std::optional<Text>& value);
  std::string content() const;
  // Writes the whole file at once (replaced atomically, owner-only when new).
  bool save(const Text& path) const;

 private:
  std::vector<std::string> m_lines;
};

Text readIniValue(const Text& file, const Text& section, const Text& key, const Text& defaultValue = "");
bool writeIniValue(const Text& file, const Text& section, const Text& key, const std::optional<Text>& value);

}  // namespace quellbo::platform
