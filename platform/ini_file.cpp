#include "platform/ini_file.h"

#include "platform/files.h"

namespace quellbo::platform {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string trimBlanks(const std::string& s) {
  std::size_t begin = 0;
  std::size_t end = s.size();
  while (begin < end && isBlank(s[begin])) ++begin;
  while (end > begin && isBlank(s[end - 1])) --end;
  return s.substr(begin, end - begin);
}

// "[name]" gives name; anything else nullopt.
std::optional<std::string> sectionName(const std::string& line) {
  const std::string t = trimBlanks(line);
  if (t.size() < 2 || t.front() != '[') return std::nullopt;
  const auto close = t.find(']');
  if (close == std::string::npos) return std::nullopt;
  return trimBlanks(t.substr(1, close - 1));
}

// The key of a "key=value" line, or nullopt for comments and other lines.
std::optional<std::string> keyName(const std::string& line) {
  const std::string t = trimBlanks(line);
  if (t.empty() || t.front() == ';' || t.front() == '[') return std::nullopt;
  const auto eq = t.find('=');
  if (eq == std::string::npos) return std::nullopt;
  return trimBlanks(t.substr(0, eq));
}

bool sameName(const std::string& a, const std::string& b) { return compareText(a, b, false) == 0; }

// Index of the first line of the section's header, or npos.
std::size_t findSection(const std::vector<std::string>& lines, const Text& section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto name = sectionName(lines[i]);
    if (name && sameName(*name, section)) return i;
  }
  return std::string::npos;
}

// Cut to the read limit without splitting a character.
Text cutToReadLimit(const Text& value) {
  if (value.size() <= static_cast<std::size_t>(kIniReadLimit)) return value;
  std::size_t end = 0;
  while (end < value.size()) {
    const auto next = end + static_cast<std::size_t>(charLength(value, end));
    if (next > static_cast<std::size_t>(kIniReadLimit)) break;
    end = next;
  }
  return value.substr(0, end);
}

}  // namespace

IniFile IniFile::load(const Text& path) {
  IniFile file;
  std::string content;
  if (!readFileBytes(path, content)) return file;
  std::size_t from = 0;
  while (from < content.size()) {
    auto end = content.find('\n', from);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(from, end - from);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    file.m_lines.push_back(std::move(line));
    from = end + 1;
  }
  return file;
}

std::optional<Text> IniFile::value(const Text& section, const Text& key) const {
  const auto header = findSection(m_lines, section);
  if (header == std::string::npos) return std::nullopt;
  for (std::size_t i = header + 1; i < m_lines.size() && !sectionName(m_lines[i]); ++i) {
    const auto name = keyName(m_lines[i]);
    if (!name || !sameName(*name, key)) continue;
    std::string v = trimBlanks(m_lines[i].substr(m_lines[i].find('=') + 1));
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    return cutToReadLimit(v);
  }
  return std::nullopt;
}

void IniFile::setValue(const Text& section, const Text& key, const std::optional<Text>& value) {
  const std::string line = key + "=" + value.value_or("");
  auto header = findSection(m_lines, section);
  if (header == std::string::npos) {
    if (!value) return;
    m_lines.push_back("[" + section + "]");
    m_lines.push_back(line);
    return;
  }
  std::size_t insertAt = header + 1;
  for (std::size_t i = header + 1; i < m_lines.size() && !sectionName(m_lines[i]); ++i) {
    const auto name = keyName(m_lines[i]);
    if (!name) continue;
    insertAt = i + 1;
    if (!sameName(*name, key)) continue;
    if (value) {
      m_lines[i] = line;
    } else {
      m_lines.erase(m_lines.begin() + static_cast<long>(i));
    }
    return;
  }
  if (value) m_lines.insert(m_lines.begin() + static_cast<long>(insertAt), line);
}

std::string IniFile::content() const {
  std::string out;
  for (const auto& line : m_lines) {
    out += line;
    out += "\r\n";
  }
  return out;
}

bool IniFile::save(const Text& path) const { return writeFileAtomically(path, content(), true); }

Text readIniValue(const Text& file, const Text& section, const Text& key, const Text& defaultValue) {
  return IniFile::load(file).value(section, key).value_or(cutToReadLimit(defaultValue));
}

bool writeIniValue(const Text& file, const Text& section, const Text& key, const std::optional<Text>& value) {
  IniFile ini = IniFile::load(file);
  ini.setValue(section, key, value);
  return ini.save(file);
}

}  // namespace quellbo::platform
