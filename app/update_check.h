#pragma once

namespace quellbo::app {

inline constexpr const char* kUpdateMessage = "有最新版，请在弹出浏览器中更新软件";

// Asks the update server for the latest version; when it is newer than the
// form's own, tells the user, opens the download address and closes the
// main window (queued, so start-up still completes).
void checkForUpdate();

}  // namespace quellbo::app
