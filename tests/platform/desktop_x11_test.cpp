#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "net/encodings.h"
#include "platform/desktop.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

// Last: Xlib's macros (None, Bool, Status) clash with names in the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace quellbo::platform {
namespace {

using namespace std::chrono_literals;

constexpr auto kPatience = 10s;
const Text kGroupTitle = "测试群";
// The click point of a chat window, in client coordinates.
constexpr Point kClickPoint{128, 585};

Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }

// Keeps asking until the answer is yes or kPatience has passed.
bool eventually(const std::function<bool()>& condition) {
  const auto limit = std::chrono::steady_clock::now() + kPatience;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > limit) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

std::string fromHex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

using Process = test::ChildProcess;

// An X server of the test's own with no window manager on it.
class BareXServer {
 public:
  BareXServer() {
    int fds[2];
    if (pipe(fds) != 0) return;
    m_server.emplace(
        std::vector<std::string>{"Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"}, "",
        fds[1], true);
    close(fds[1]);
    // The server writes its display number once it accepts connections.
    std::string number;
    pollfd readable{fds[0], POLLIN, 0};
    char c = 0;
    while (poll(&readable, 1, 10000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (!number.empty()) m_name = ":" + number;
  }
  const std::string& name() const { return m_name; }

 private:
  std::optional<Process> m_server;
  std::string m_name;
};

// Points $DISPLAY, which createDesktop reads, elsewhere while it lives.
class ScopedDisplay {
 public:
  explicit ScopedDisplay(const char* display) {
    const char* saved = std::getenv("DISPLAY");
    if (saved != nullptr) m_saved = saved;
    if (display == nullptr) {
      unsetenv("DISPLAY");
      return;
    }
    setenv("DISPLAY", display, 1);
  }
  ~ScopedDisplay() {
    if (m_saved) {
      setenv("DISPLAY", m_saved->c_str(), 1);
      return;
    }
    unsetenv("DISPLAY");
  }
  ScopedDisplay(const ScopedDisplay&) = delete;
  ScopedDisplay& operator=(const ScopedDisplay&) = delete;

 private:
  std::optional<std::string> m_saved;
};

Window parentOf(Display* display, Window window) {
  Window root = None;
  Window parent = None;
  Window* children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(display, window, &root, &parent, &children, &count) == 0) return None;
  if (children != nullptr) XFree(children);
  return parent;
}

// The window manager's WM_STATE of a window, -1 when it has none.
long wmState(Display* display, Window window) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long remaining = 0;
  unsigned char* data = nullptr;
  const Atom wmStateAtom = XInternAtom(display, "WM_STATE", False);
  long state = -1;
  if (XGetWindowProperty(display, window, wmStateAtom, 0, 2, False, wmStateAtom, &type, &format, &count, &remaining,
                         &data) == Success &&
      data != nullptr && format == 32 && count > 0) {
    state = reinterpret_cast<long*>(data)[0];
  }
  if (data != nullptr) XFree(data);
  return state;
}

// Whether the keyboard focus is in window or one of its descendants.
bool focusIsIn(Display* display, Window window) {
  Window focus = None;
  int revert = 0;
  XGetInputFocus(display, &focus, &revert);
  for (Window w = focus; w != None && w != PointerRoot; w = parentOf(display, w)) {
    if (w == window) return true;
  }
  return false;
}

// A toolkit window in a process of its own (tk_chat_window.py), which logs
// the clicks, keys and text it receives.
class TkChatWindow {
 public:
  TkChatWindow(const test::TempDir& dir, const Text& title, const std::string& display = "")
      : m_log(dir.file("tk.log")),
        m_process({"/usr/bin/python3", "-X", "utf8", QUELLBO_SOURCE_DIR "/tests/platform/tk_chat_window.py",
                   net::toUtf8(title), m_log},
                  display) {}

  std::vector<std::string> lines() const {
    std::ifstream in(m_log);
    std::vector<std::string> result;
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
  }
  bool saw(const std::string& line) const {
    return eventually([&] {
      for (const auto& l : lines()) {
        if (l == line) return true;
      }
      return false;
    });
  }
  // The id of the toplevel's own X window once it is on screen, 0 if it never comes.
  unsigned long ready() const {
    unsigned long id = 0;
    eventually([&] {
      for (const auto& l : lines()) {
        if (l.rfind("ready ", 0) == 0) id = std::stoul(l.substr(6));
      }
      return id != 0;
    });
    return id;
  }
  // The last content of the text box the window reported, in UTF-8.
  std::string text() const {
    std::string result;
    for (const auto& l : lines()) {
      if (l.rfind("text ", 0) == 0) result = fromHex(l.substr(5));
    }
    return result;
  }
  // The key lines ("press x", "release x") logged so far, in order.
  std::vector<std::string> keys() const {
    std::vector<std::string> result;
    for (const auto& l : lines()) {
      if (l.rfind("press ", 0) == 0 || l.rfind("release ", 0) == 0) result.push_back(l);
    }
    return result;
  }

 private:
  std::string m_log;
  Process m_process;
};

// A window of the test's own, on a connection of the test's own.
class OwnWindow {
 public:
  OwnWindow(Display* display, const std::string& titleBytes, bool unmanaged, int width = 1280, int height = 1024)
      : m_display(display) {
    XSetWindowAttributes attributes{};
    attributes.override_redirect = unmanaged ? True : False;
    attributes.event_mask = StructureNotifyMask | KeyPressMask | KeyReleaseMask | ButtonPressMask;
    m_window = XCreateWindow(display, DefaultRootWindow(display), 0, 0, width, height, 0, CopyFromParent, InputOutput,
                             CopyFromParent, CWOverrideRedirect | CWEventMask, &attributes);
    XStoreName(display, m_window, titleBytes.c_str());
    XMapRaised(display, m_window);
    XEvent event;
    do {
      XWindowEvent(display, m_window, StructureNotifyMask, &event);
    } while (event.type != MapNotify);
  }
  ~OwnWindow() {
    XDestroyWindow(m_display, m_window);
    XSync(m_display, False);
  }
  OwnWindow(const OwnWindow&) = delete;
  OwnWindow& operator=(const OwnWindow&) = delete;

  Window id() const { return m_window; }
  // The key and button events that have reached it so far.
  std::vector<XEvent> events() {
    XSync(m_display, False);
    std::vector<XEvent> result;
    XEvent event;
    while (XCheckWindowEvent(m_display, m_window, KeyPressMask | KeyReleaseMask | ButtonPressMask, &event)) {
      result.push_back(event);
    }
    return result;
  }

 private:
  Display* m_display;
  Window m_window;
};

class DesktopX11Test : public ::testing::Test {
 protected:
  void SetUp() override {
    m_desktop = createDesktop();
    if (!m_desktop) GTEST_SKIP() << "no X display; run under tools/with-xvfb.sh";
    m_display = XOpenDisplay(nullptr);
    ASSERT_NE(m_display, nullptr);
  }
  void TearDown() override {
    m_chat.reset();
    if (m_display != nullptr) XCloseDisplay(m_display);
  }

  // Starts the chat window and returns the window the desktop finds for it.
  ForeignWindow openChatWindow() {
    m_chat.emplace(m_dir, kGroupTitle);
    m_inner = m_chat->ready();
    if (m_inner == 0) return 0;
    // The window manager may still be taking the new window in.
    ForeignWindow window = 0;
    eventually([&] { return (window = m_desktop->findWindowByTitle(kGroupTitle)) != 0; });
    return window;
  }
  // Raises the chat window and clicks into it at the chat click point.
  void clickIntoChat(ForeignWindow window) {
    m_desktop->raiseWindow(window);
    m_desktop->setCursorPosition(m_desktop->clientOrigin(window) + kClickPoint);
    m_desktop->mouseClick(MouseAction::LeftClick);
    ASSERT_TRUE(m_chat->saw("click 1 128 585"));
  }

  test::TempDir m_dir;
  std::unique_ptr<Desktop> m_desktop;
  Display* m_display = nullptr;
  std::optional<TkChatWindow> m_chat;
  unsigned long m_inner = 0;
};

TEST_F(DesktopX11Test, FindsAToolkitWindowByItsChineseTitleAndNothingElse) {
  const ForeignWindow window = openChatWindow();
  ASSERT_NE(m_inner, 0u) << "the Tk window did not come up";
  ASSERT_NE(window, 0u);
  // The window manager's client is Tk's wrapper around the toplevel.
  EXPECT_EQ(window, parentOf(m_display, m_inner));

  EXPECT_EQ(m_desktop->findWindowByTitle(Text("测试群\0tail", 13)), window) << "a text ends at its first zero byte";
  struct Case {
    Text title;
    const char* why;
  };
  const Case misses[] = {
      {"测试", "a prefix of the title"},      {"测试群 ", "a trailing blank"},
      {"测试群群", "a longer title"},         {"无此群", "no such window"},
      {"", "an empty title names no window"}, {net::toUtf8("测试群"), "the UTF-8 bytes of the title are not the title"},
  };
  for (const auto& c : misses) EXPECT_EQ(m_desktop->findWindowByTitle(c.title), 0u) << c.why;
}

TEST_F(DesktopX11Test, FindsLatin1TitlesAndWindowsTheManagerDoesNotList) {
  // WM_NAME as plain Latin-1 STRING, no _NET_WM_NAME: "Café" is 43 61 66 E9.
  OwnWindow managed(m_display, "Caf\xE9", false, 200, 100);
  // An override-redirect window is in no client list; only the walk over the
  // root's children finds it.
  OwnWindow unmanaged(m_display, "popup 1", true, 200, 100);
  EXPECT_TRUE(eventually([&] { return m_desktop->findWindowByTitle("Café") == managed.id(); }));
  EXPECT_EQ(m_desktop->findWindowByTitle("popup 1"), unmanaged.id());
  EXPECT_EQ(m_desktop->findWindowByTitle("Caf"), 0u);
}

TEST_F(DesktopX11Test, ClickAtTheClientPointLandsThereAfterRaisingACoveredWindow) {
  const ForeignWindow window = openChatWindow();
  ASSERT_NE(window, 0u);
  const Point origin = m_desktop->clientOrigin(window);
  // A screen-filling window of another program covers the chat and takes the focus.
  OwnWindow cover(m_display, "cover", false);
  ASSERT_TRUE(eventually([&] { return m_desktop->findWindowByTitle("cover") == cover.id(); }));

  m_desktop->raiseWindow(window);
  EXPECT_EQ(m_desktop->clientOrigin(window), origin) << "raising neither moves nor resizes";

  struct Case {
    MouseAction action;
    const char* expected;
  };
  const Case cases[] = {
      {MouseAction::LeftClick, "click 1 128 585"},
      {MouseAction::RightClick, "click 3 128 585"},
  };
  for (const auto& c : cases) {
    m_desktop->setCursorPosition(origin + kClickPoint);
    m_desktop->mouseClick(c.action);
    EXPECT_TRUE(m_chat->saw(c.expected)) << c.expected;
  }
  EXPECT_TRUE(cover.events().empty()) << "no click reached the covering window";
}

TEST_F(DesktopX11Test, LeftPressHoldsTheButtonDown) {
  const ForeignWindow window = openChatWindow();
  ASSERT_NE(window, 0u);
  m_desktop->raiseWindow(window);
  m_desktop->setCursorPosition(m_desktop->clientOrigin(window) + kClickPoint);
  m_desktop->mouseClick(MouseAction::LeftPress);
  Window root = None;
  Window child = None;
  int x = 0;
  int y = 0;
  unsigned int mask = 0;
  XQueryPointer(m_display, DefaultRootWindow(m_display), &root, &child, &x, &y, &x, &y, &mask);
  // Released before anything is asserted, so that no later test finds it down.
  XTestFakeButtonEvent(m_display, 1, False, CurrentTime);
  XSync(m_display, False);
  EXPECT_TRUE(mask & Button1Mask) << "the button was still down";
  EXPECT_TRUE(m_chat->saw("click 1 128 585"));
}

TEST_F(DesktopX11Test, RaisingAMinimizedWindowLeavesItMinimized) {
  const ForeignWindow window = openChatWindow();
  ASSERT_NE(window, 0u);
  XIconifyWindow(m_display, window, DefaultScreen(m_display));
  ASSERT_TRUE(eventually([&] { return wmState(m_display, window) == IconicState; }));
  m_desktop->raiseWindow(window);
  XSync(m_display, False);
  EXPECT_EQ(wmState(m_display, window), IconicState);
}

TEST_F(DesktopX11Test, CursorPositionReadsBackWhatWasSet) {
  for (Point p : {Point{0, 0}, Point{640, 512}, Point{1279, 1023}, Point{7, 900}}) {
    m_desktop->setCursorPosition(p);
    EXPECT_EQ(m_desktop->cursorPosition(), p) << p.x << "," << p.y;
  }
  // Off the screen the pointer stops at its edge.
  m_desktop->setCursorPosition({-50, 5000});
  EXPECT_EQ(m_desktop->cursorPosition(), (Point{0, DisplayHeight(m_display, DefaultScreen(m_display)) - 1}));
}

TEST_F(DesktopX11Test, SimulatedKeysTypeIntoTheFocusedWindowInOrder) {
  const ForeignWindow window = openChatWindow();
  ASSERT_NE(window, 0u);
  clickIntoChat(window);

  for (int key : {'H', 'I', '7'}) m_desktop->simulateKeyPress(key, 0, 0);
  ASSERT_TRUE(eventually([&] { return m_chat->text() == "hi7"; })) << m_chat->text();

  // Every key goes down in order, then up in the same order: Shift is still
  // down when A goes down, so a capital arrives. Keys 0 and 255 are not keys.
  const auto before = m_chat->keys().size();
  m_desktop->simulateKeyPress(16, 'A', 255);
  ASSERT_TRUE(eventually([&] { return m_chat->text() == "hi7A"; })) << m_chat->text();
  ASSERT_TRUE(eventually([&] { return m_chat->keys().size() >= before + 4; }));
  const auto keys = m_chat->keys();
  const std::vector<std::string> expected = {"press Shift_L", "press A", "release Shift_L", "release a"};
  EXPECT_EQ(std::vector<std::string>(keys.begin() + static_cast<long>(before), keys.end()), expected);
}

TEST_F(DesktopX11Test, PostedReturnReachesTheFocusedToolkitWindow) {
  const ForeignWindow window = openChatWindow();
  ASSERT_NE(window, 0u);
  clickIntoChat(window);
  m_desktop->postKeyDown(window, kKeyReturn);
  EXPECT_TRUE(m_chat->saw("press Return"));
  EXPECT_TRUE(eventually([&] { return m_chat->text() == "\n"; })) << "Tk's text box took the Return";
}

// Toolkits that drop synthetic key events still take a real key, so the
// window holding the focus gets one, released at once; a window without the
// focus gets one synthetic key-down, and the focus stays where it is.
TEST_F(DesktopX11Test, PostedKeyIsRealWithTheFocusAndALoneSyntheticKeyDownWithout) {
  OwnWindow focused(m_display, "focused", false, 300, 300);
  OwnWindow other(m_display, "other", true, 50, 50);
  m_desktop->raiseWindow(focused.id());
  ASSERT_TRUE(eventually([&] { return focusIsIn(m_display, focused.id()); }));
  const unsigned int returnKey = XKeysymToKeycode(m_display, XK_Return);

  m_desktop->postKeyDown(focused.id(), kKeyReturn);
  auto events = focused.events();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].type, KeyPress);
  EXPECT_FALSE(events[0].xkey.send_event);
  EXPECT_EQ(events[0].xkey.keycode, returnKey);
  EXPECT_EQ(events[1].type, KeyRelease);

  m_desktop->postKeyDown(other.id(), kKeyReturn);
  events = other.events();
  ASSERT_EQ(events.size(), 1u) << "a key-down and nothing after it";
  EXPECT_EQ(events[0].type, KeyPress);
  EXPECT_TRUE(events[0].xkey.send_event);
  EXPECT_EQ(events[0].xkey.keycode, returnKey);
  EXPECT_TRUE(focused.events().empty());
  EXPECT_TRUE(focusIsIn(m_display, focused.id()));
}

TEST_F(DesktopX11Test, NoWindowOrAVanishedOneIsHarmless) {
  const Window gone = XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 0, 0, 50, 50, 0, 0, 0);
  XDestroyWindow(m_display, gone);
  XSync(m_display, False);
  const ForeignWindow goneId = gone;
  for (ForeignWindow window : {ForeignWindow{0}, goneId, ForeignWindow{0xFFFFFFFFFFull}}) {
    m_desktop->raiseWindow(window);
    EXPECT_EQ(m_desktop->clientOrigin(window), (Point{0, 0})) << window;
    m_desktop->postKeyDown(window, kKeyReturn);
    m_desktop->postKeyDown(window, 0);
  }
  m_desktop->setCursorPosition({3, 4});
  EXPECT_EQ(m_desktop->cursorPosition(), (Point{3, 4})) << "the desktop still answers";
}

TEST(DesktopX11NoDisplayTest, NoDisplayGivesNoDesktop) {
  for (const char* display : {static_cast<const char*>(nullptr), "", ":4093"}) {
    ScopedDisplay scoped(display);
    EXPECT_EQ(createDesktop(), nullptr) << "DISPLAY=" << (display != nullptr ? display : "(unset)");
  }
}

// On a desktop without a window manager nobody lists, raises or focuses
// windows; the desktop finds the window among the root's children and raises
// and focuses it itself.
TEST(DesktopX11BareTest, WithoutAWindowManagerItFindsRaisesAndFocusesItself) {
  BareXServer server;
  ASSERT_FALSE(server.name().empty()) << "no private X server";
  test::TempDir dir;
  TkChatWindow chat(dir, kGroupTitle, server.name());
  const unsigned long inner = chat.ready();
  ASSERT_NE(inner, 0u);
  ScopedDisplay scoped(server.name().c_str());
  auto desktop = createDesktop();
  ASSERT_NE(desktop, nullptr);
  Display* display = XOpenDisplay(server.name().c_str());
  ASSERT_NE(display, nullptr);
  {
    const ForeignWindow window = desktop->findWindowByTitle(kGroupTitle);
    EXPECT_EQ(window, parentOf(display, inner));
    OwnWindow cover(display, "cover", false);

    desktop->raiseWindow(window);
    EXPECT_TRUE(focusIsIn(display, window));
    desktop->setCursorPosition(desktop->clientOrigin(window) + kClickPoint);
    desktop->mouseClick(MouseAction::LeftClick);
    EXPECT_TRUE(chat.saw("click 1 128 585"));
    EXPECT_TRUE(cover.events().empty());
    desktop->postKeyDown(window, kKeyReturn);
    EXPECT_TRUE(chat.saw("press Return"));
  }
  XCloseDisplay(display);
}

}  // namespace
}  // namespace quellbo::platform
