#pragma once

#include <cstdint>
#include <functional>

#include "platform/desktop.h"
#include "platform/text.h"

namespace quellbo::platform {

// The program's two forms.
enum class Form { Main, Credentials };

// Kind names as findControls takes them.
inline constexpr const char* kEditBoxKind = "编辑框";

// Message-box buttons and answers.
inline constexpr int kButtonsOk = 0;
inline constexpr int kButtonsOkCancel = 1;
inline constexpr int kAnswerOk = 0;
inline constexpr int kAnswerCancel = 1;

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

// Everything the handlers need of windows, the desktop and the clock. The
// program installs the Qt/X11 backend; tests install an in-memory stand-in.
class Services {
 public:
  virtual ~Services() = default;

  // Controls of the program's own forms, addressed by their names.
  virtual Text readControlText(Form form, const Text& control) = 0;
  virtual void writeControlText(Form form, const Text& control, const Text& text) = 0;
  // Names of the form's controls of a kind, nested ones included, in form order.
  virtual TextList findControls(Form form, const Text& kind) = 0;
  virtual void setControlSize(Form form, const Text& control, Size size) = 0;
  virtual Size clientSize(Form form) = 0;
  virtual void maximizeWindow(Form form) = 0;

  // Task-modal message box; returns the answer code.
  virtual int showMessage(const Text& content, int buttons, const Text& title) = 0;
  // Creates and shows a form and runs its created handler.
  virtual void openWindow(Form form, bool modal) = 0;
  // Closes the form once the current event is done.
  virtual void closeWindow(Form form) = 0;
  // Whether the form is open and not being destroyed.
  virtual bool isWindowOpen(Form form) = 0;
  // Handles the pending window events once.
  virtual void processEvents() = 0;

  virtual Text getClipboardText() = 0;
  virtual void setClipboardText(const Text& text) = 0;
  virtual void clearClipboard() = 0;
  virtual Text browseForFolder(const Text& prompt) = 0;
  virtual void openUrl(const Text& url) = 0;

  // The embedded browser control of a form.
  virtual void navigateBrowser(Form form, const Text& url) = 0;

  // The desktop of the session, for driving other programs' windows;
  // nullptr when there is none.
  virtual Desktop* desktop() = 0;
  // Keeps handling events until whoever pasted has fetched the clipboard, or
  // until limitMs has passed. Returns whether it was fetched.
  virtual bool waitForClipboardFetch(int limitMs) = 0;

  // Milliseconds since an arbitrary start that never goes back.
  virtual std::uint64_t uptimeMs() = 0;
  virtual void sleepMs(int ms) = 0;
};

// The services the handlers use; installed once at start (or by a test).
Services& services();
void installServices(Services* services);

// The calls as the handlers write them.
inline Text readControlText(Form form, const Text& control) { return services().readControlText(form, control); }
inline void writeControlText(Form form, const Text& control, const Text& text) {
  services().writeControlText(form, control, text);
}
inline TextList findControls(Form form, const Text& kind) { return services().findControls(form, kind); }
int showMessage(const Text& content, int buttons = kButtonsOk, const Text& title = "信息：");
// Without this a string literal would pick the bool overload and show "真".
int showMessage(const char* content, int buttons = kButtonsOk, const Text& title = "信息：");
int showMessage(bool content, int buttons = kButtonsOk, const Text& title = "信息：");
int showMessage(long long content, int buttons = kButtonsOk, const Text& title = "信息：");
inline void closeWindow(Form form) { services().closeWindow(form); }
inline bool isWindowOpen(Form form) { return services().isWindowOpen(form); }
inline void processEvents() { services().processEvents(); }
inline Text getClipboardText() { return services().getClipboardText(); }
inline void setClipboardText(const Text& text) { services().setClipboardText(text); }
inline void clearClipboard() { services().clearClipboard(); }
inline Text browseForFolder(const Text& prompt) { return services().browseForFolder(prompt); }
inline void openUrl(const Text& url) { services().openUrl(url); }
void simulateKeyPress(int key1, int key2 = 0, int key3 = 0);
inline std::uint64_t uptimeMs() { return services().uptimeMs(); }
inline void sleepMs(int ms) { services().sleepMs(ms < 0 ? 0 : ms); }

}  // namespace quellbo::platform
