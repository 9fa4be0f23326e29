#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/services.h"

namespace quellbo::test {

// In-memory platform services: both forms with their controls and default
// texts, scriptable message boxes, folder dialog and clipboard, a desktop of
// pretend windows that logs what is done to it, and a virtual clock that
// sleepMs advances. It installs itself while it lives.
class FakeServices : public platform::Services {
 public:
  struct Control {
    Text kind;
    Text name;
    Text text;
    platform::Size size;
  };
  struct PretendWindow {
    Text title;
    platform::Point origin;
  };

  FakeServices();
  ~FakeServices() override;
  FakeServices(const FakeServices&) = delete;
  FakeServices& operator=(const FakeServices&) = delete;

  // Scripting.
  std::deque<int> messageAnswers;                   // answers in turn; OK when empty
  std::function<void(const Text& content)> onMessage;  // runs while a box is open
  Text folderChoice;                                // "" acts as a cancelled dialog
  std::vector<PretendWindow> desktopWindows;        // ForeignWindow n is element n-1
  std::function<void(platform::Form)> onWindowDestroying;
  // Runs inside processEvents once the virtual clock reaches atMs.
  void queueEvent(std::function<void()> event, std::uint64_t atMs = 0);

  // What happened.
  std::vector<Text> messages;
  std::vector<std::pair<Text, int>> messageButtons;  // content and buttons
  std::vector<Text> openedUrls;
  std::vector<Text> navigations;
  std::vector<std::string> desktopLog;  // raise, click, keys, clipboard in order
  std::vector<platform::Form> openedWindows;
  Text clipboard;
  platform::Point cursor{400, 300};
  std::uint64_t now = 1000;  // the virtual clock in ms
  int processEventsCalls = 0;

  Control* control(platform::Form form, const Text& name);
  Text text(const Text& name) { return readControlText(platform::Form::Main, name); }
  void setText(const Text& name, const Text& value) { writeControlText(platform::Form::Main, name, value); }

  // platform::Services
  Text readControlText(platform::Form form, const Text& control) override;
  void writeControlText(platform::Form form, const Text& control, const Text& text) override;
  TextList findControls(platform::Form form, const Text& kind) override;
  void setControlSize(platform::Form form, const Text& control, platform::Size size) override;
  platform::Size clientSize(platform::Form form) override;
  void maximizeWindow(platform::Form form) override;
  int showMessage(const Text& content, int buttons, const Text& title) override;
  void openWindow(platform::Form form, bool modal) override;
  void closeWindow(platform::Form form) override;
  bool isWindowOpen(platform::Form form) override;
  void processEvents() override;
  Text getClipboardText() override;
  void setClipboardText(const Text& text) override;
  void clearClipboard() override;
  Text browseForFolder(const Text& prompt) override;
  void openUrl(const Text& url) override;
  void navigateBrowser(platform::Form form, const Text& url) override;
  platform::Desktop* desktop() override { return &m_desktop; }
  bool waitForClipboardFetch(int limitMs) override;
  std::uint64_t uptimeMs() override;
  void sleepMs(int ms) override;

  std::map<platform::Form, std::vector<Control>> forms;
  std::map<platform::Form, platform::Size> clientSizes;
  std::map<platform::Form, bool> open;
  std::map<platform::Form, bool> maximized;
  Text lastFolderPrompt;

 private:
  // The pretend desktop: desktopWindows, cursor and desktopLog above.
  class PretendDesktop : public platform::Desktop {
   public:
    explicit PretendDesktop(FakeServices& owner) : m_owner(owner) {}
    platform::ForeignWindow findWindowByTitle(const Text& title) override;
    void raiseWindow(platform::ForeignWindow window) override;
    platform::Point clientOrigin(platform::ForeignWindow window) override;
    platform::Point cursorPosition() override { return m_owner.cursor; }
    void setCursorPosition(platform::Point screen) override { m_owner.cursor = screen; }
    void mouseClick(platform::MouseAction action) override;
    void simulateKeyPress(int key1, int key2, int key3) override;
    void postKeyDown(platform::ForeignWindow window, int key) override;

   private:
    FakeServices& m_owner;
  };

  PretendDesktop m_desktop{*this};
  struct Event {
    std::uint64_t atMs;
    std::function<void()> run;
  };
  std::vector<Event> m_events;
};

}  // namespace quellbo::test
