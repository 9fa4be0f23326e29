#pragma once

#include "platform/text.h"

namespace quellbo::platform {

// Paths are Text; each call converts them to the platform's file names.

// The executable's folder, no trailing separator.
Text runDirectory();
// dir, the platform's separator, name.
Text joinPath(const Text& dir, const Text& name);
// An existing file or folder.
bool fileExists(const Text& path);
bool isExistingDirectory(const Text& path);
bool isRegularFile(const Text& path);
// Creates every missing folder of path; true when the folder exists afterwards.
bool createDirectories(const Text& path);
// Deletes one file; never a folder.
bool deleteFile(const Text& path);
bool renameFile(const Text& from, const Text& to);
// The whole file cut at the first 0x00 or 0x1A byte; "" when it cannot be read.
Text readFileText(const Text& path);
// Raw file content; false when it cannot be read.
bool readFileBytes(const Text& path, std::string& content);
// Writes content to a temporary file beside path and renames it into place,
// so a crash or a full disk never leaves path half written. ownerOnly makes a
// new file readable by its owner alone.
bool writeFileAtomically(const Text& path, const std::string& content, bool ownerOnly);

}  // namespace quellbo::platform
