#pragma once

#include "platform/services.h"

namespace quellbo::app {

inline constexpr const char* kEditBoxSection = "编辑框";

// The settings file beside the executable; makes sure its folder exists.
Text settingsPath();
bool isDirectory(const Text& path);
// Creates every missing folder of a directory path.
bool ensureDirectory(const Text& path);
// Stores every edit box of the window not named in skipNames ("|"-separated);
// returns the number of edit boxes found. An empty path means settingsPath().
int saveEditBoxes(platform::Form window, const Text& path = "", const Text& skipNames = "");
// Puts the stored texts back; an empty stored value keeps the form's text.
int restoreEditBoxes(platform::Form window, const Text& path = "");
bool isNotListed(const Text& list, const Text& name);

// The stored form of an edit box's text, and back.
Text escapeStoredText(const Text& text);
Text unescapeStoredText(const Text& stored);

}  // namespace quellbo::app
