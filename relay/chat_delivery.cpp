#include "relay/chat_delivery.h"

#include "app/program_values.h"
#include "app/wait.h"

namespace quellbo::relay {

using namespace platform;

void deliverToChat() {
  auto& values = app::programValues();
  Desktop* desktop = services().desktop();
  if (desktop == nullptr) return;
  values.chatWindow = desktop->findWindowByTitle(readControlText(Form::Main, "编辑框12"));
  const ForeignWindow window = values.chatWindow;
  // Without the window the click and the keys would land wherever the
  // desktop happens to be.
  if (window == 0) return;
  desktop->raiseWindow(window);
  app::waitMs(100);
  clickInWindow(window, kChatClickX, kChatClickY, 1);
  app::waitMs(100);
  setClipboardText(readControlText(Form::Main, "编辑框2"));
  app::waitMs(10);
  simulateKeyPress(kKeyControl, kKeyV);
  // The chat window fetches the paste from us asynchronously; clearing the
  // clipboard before it has would paste nothing.
  services().waitForClipboardFetch(kPasteFetchLimitMs);
  clearClipboard();
  desktop->postKeyDown(window, kKeyReturn);
}

void clickInWindow(ForeignWindow window, std::optional<int> x, std::optional<int> y, std::optional<int> button) {
  Desktop* desktop = services().desktop();
  if (desktop == nullptr) return;
  const Point saved = desktop->cursorPosition();
  const int b = button.value_or(1) == 0 ? 1 : button.value_or(1);
  MouseAction action;
  switch (b) {
    case 1:
      action = MouseAction::LeftClick;
      break;
    case 2:
      action = MouseAction::RightClick;
      break;
    case 3:
      action = MouseAction::LeftPress;
      break;
    default:
      return;
  }
  moveCursorInWindow(window, x.value_or(saved.x), y.value_or(saved.y));
  desktop->mouseClick(action);
  moveCursorInWindow(0, saved.x, saved.y);
}

void moveCursorInWindow(ForeignWindow window, int x, int y) {
  Desktop* desktop = services().desktop();
  if (desktop == nullptr) return;
  Point origin;
  if (window != 0) origin = desktop->clientOrigin(window);
  desktop->setCursorPosition({origin.x + x, origin.y + y});
}

Point cursorPosition() {
  Desktop* desktop = services().desktop();
  return desktop == nullptr ? Point{} : desktop->cursorPosition();
}

}  // namespace quellbo::relay
