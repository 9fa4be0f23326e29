#pragma once

#include <optional>

#include "platform/services.h"

namespace quellbo::relay {

inline constexpr int kChatClickX = 128;
inline constexpr int kChatClickY = 585;
// How long a paste may take to fetch the clipboard before it is cleared.
inline constexpr int kPasteFetchLimitMs = 500;

// Pastes the text of 编辑框2 into the chat window titled as 编辑框12 and
// sends it. Without such a window nothing is done.
void deliverToChat();
// Clicks at a client point of the window and puts the cursor back. Button 1
// clicks left, 2 right, 3 presses the left one; 0 or none counts as 1.
void clickInWindow(platform::ForeignWindow window, std::optional<int> x = std::nullopt,
                   std::optional<int> y = std::nullopt, std::optional<int> button = std::nullopt);
void moveCursorInWindow(platform::ForeignWindow window, int x, int y);
platform::Point cursorPosition();

}  // namespace quellbo::relay
