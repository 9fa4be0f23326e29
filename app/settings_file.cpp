#include "app/settings_file.h"

#include "platform/files.h"
#include "platform/ini_file.h"

namespace quellbo::app {

using namespace platform;

Text settingsPath() {
  const Text folder = joinPath(runDirectory(), "data");
  if (!isDirectory(folder)) ensureDirectory(folder);
  return joinPath(folder, "setsoft.ini");
}

bool isDirectory(const Text& path) { return isExistingDirectory(path); }

bool ensureDirectory(const Text& path) { return createDirectories(path); }

Text escapeStoredText(const Text& text) {
  // A lone CR or LF would break its line of the file; it is stored as the
  // line break it stands for.
  Text lines;
  lines.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      lines += "\r\n";
      ++i;
    } else if (c == '\r' || c == '\n') {
      lines += "\r\n";
    } else {
      lines += c;
    }
  }
  return replaceText(replaceText(lines, "\r\n", "><br><"), "\"", "#引号");
}

Text unescapeStoredText(const Text& stored) {
  return replaceText(replaceText(stored, "><br><", "\r\n"), "#引号", "\"");
}

int saveEditBoxes(Form window, const Text& path, const Text& skipNames) {
  const Text file = path.empty() ? settingsPath() : path;
  const TextList boxes = findControls(window, kEditBoxKind);
  // The whole file is written at once, so the previous settings survive a
  // crash or a full disk; other sections are kept.
  IniFile ini = IniFile::load(file);
  for (const auto& name : boxes) {
    if (isNotListed(skipNames, name)) ini.setValue(kEditBoxSection, name, escapeStoredText(readControlText(window, name)));
  }
  ini.save(file);
  return static_cast<int>(boxes.size());
}

int restoreEditBoxes(Form window, const Text& path) {
  const Text file = path.empty() ? settingsPath() : path;
  const TextList boxes = findControls(window, kEditBoxKind);
  const IniFile ini = IniFile::load(file);
  for (const auto& name : boxes) {
    const Text value = ini.value(kEditBoxSection, name).value_or("");
    if (!value.empty()) writeControlText(window, name, unescapeStoredText(value));
  }
  return static_cast<int>(boxes.size());
}

bool isNotListed(const Text& list, const Text& name) {
  for (const auto& item : splitText(list, "|")) {
    if (item == name) return false;
  }
  return true;
}

}  // namespace quellbo::app
