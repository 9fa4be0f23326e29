#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "net/encodings.h"
#include "platform/desktop.h"

namespace quellbo::platform {

namespace {

// X window ids have 29 bits; anything larger is no window of ours.
constexpr ForeignWindow kLargestWindowId = 0x1FFFFFFF;

// How long raiseWindow waits for the window manager to activate the window,
// so that a click right after lands on it as on Windows.
constexpr auto kActivationLimit = std::chrono::milliseconds(500);

// The Windows virtual keys the program may send, as X keysyms. Letters map to
// the lowercase keysym: the virtual key names the key, not a shifted character.
KeySym keysymForVirtualKey(int key) {
  if (key >= 'A' && key <= 'Z') return XK_a + (key - 'A');
  if (key >= '0' && key <= '9') return XK_0 + (key - '0');
  if (key >= 0x60 && key <= 0x69) return XK_KP_0 + (key - 0x60);
  if (key >= 0x70 && key <= 0x7B) return XK_F1 + (key - 0x70);
  switch (key) {
    case 0x08:
      return XK_BackSpace;
    case 0x09:
      return XK_Tab;
    case 0x0D:
      return XK_Return;
    case 0x10:
      return XK_Shift_L;
    case 0x11:
      return XK_Control_L;
    case 0x12:
      return XK_Alt_L;
    case 0x13:
      return XK_Pause;
    case 0x14:
      return XK_Caps_Lock;
    case 0x1B:
      return XK_Escape;
    case 0x20:
      return XK_space;
    case 0x21:
      return XK_Prior;
    case 0x22:
      return XK_Next;
    case 0x23:
      return XK_End;
    case 0x24:
      return XK_Home;
    case 0x25:
      return XK_Left;
    case 0x26:
      return XK_Up;
    case 0x27:
      return XK_Right;
    case 0x28:
      return XK_Down;
    case 0x2D:
      return XK_Insert;
    case 0x2E:
      return XK_Delete;
    case 0x5B:
      return XK_Super_L;
    case 0x5C:
      return XK_Super_R;
    case 0x5D:
      return XK_Menu;
    case 0x6A:
      return XK_KP_Multiply;
    case 0x6B:
      return XK_KP_Add;
    case 0x6D:
      return XK_KP_Subtract;
    case 0x6E:
      return XK_KP_Decimal;
    case 0x6F:
      return XK_KP_Divide;
    case 0xA0:
      return XK_Shift_L;
    case 0xA1:
      return XK_Shift_R;
    case 0xA2:
      return XK_Control_L;
    case 0xA3:
      return XK_Control_R;
    case 0xA4:
      return XK_Alt_L;
    case 0xA5:
      return XK_Alt_R;
    case 0xBA:
      return XK_semicolon;
    case 0xBB:
      return XK_equal;
    case 0xBC:
      return XK_comma;
    case 0xBD:
      return XK_minus;
    case 0xBE:
      return XK_period;
    case 0xBF:
      return XK_slash;
    case 0xC0:
      return XK_grave;
    case 0xDB:
      return XK_bracketleft;
    case 0xDC:
      return XK_backslash;
    case 0xDD:
      return XK_bracketright;
    case 0xDE:
      return XK_apostrophe;
    default:
      return NoSymbol;
  }
}

// ISO 8859-1 bytes, as a STRING property holds them by rule, in UTF-8.
std::string latin1ToUtf8(const std::string& latin1) {
  std::string utf8;
  for (unsigned char c : latin1) {
    if (c < 0x80) {
      utf8 += static_cast<char>(c);
      continue;
    }
    utf8 += static_cast<char>(0xC0 | (c >> 6));
    utf8 += static_cast<char>(0x80 | (c & 0x3F));
  }
  return utf8;
}

// Catches the protocol errors of one operation (a window that went away while
// we looked at it) instead of letting Xlib's default handler end the process.
// The handler is global, so it is installed only for the operation's length.
class ErrorTrap {
 public:
  explicit ErrorTrap(Display* display) : m_display(display) {
    XSync(m_display, False);
    s_failed = false;
    m_previous = XSetErrorHandler(&ErrorTrap::record);
  }
  ~ErrorTrap() {
    XSync(m_display, False);
    XSetErrorHandler(m_previous);
  }
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;

  // Whether any request since the trap was set failed.
  bool failed() {
    XSync(m_display, False);
    return s_failed;
  }

 private:
  static int record(Display*, XErrorEvent*) {
    s_failed = true;
    return 0;
  }
  static inline bool s_failed = false;
  Display* m_display;
  XErrorHandler m_previous = nullptr;
};

struct Property {
  bool present = false;
  Atom type = None;
  int format = 0;
  std::string bytes;                 // format 8
  std::vector<unsigned long> items;  // format 32
};

// The desktop through Xlib and XTest on a connection of its own; every Xlib
// call of the program is made here.
class X11Desktop final : public Desktop {
 public:
  explicit X11Desktop(Display* display);
  ~X11Desktop() override;
  X11Desktop(const X11Desktop&) = delete;
  X11Desktop& operator=(const X11Desktop&) = delete;

  ForeignWindow findWindowByTitle(const Text& title) override;
  void raiseWindow(ForeignWindow window) override;
  Point clientOrigin(ForeignWindow window) override;
  Point cursorPosition() override;
  void setCursorPosition(Point screen) override;
  void mouseClick(MouseAction action) override;
  void simulateKeyPress(int key1, int key2, int key3) override;
  void postKeyDown(ForeignWindow window, int key) override;

 private:
  Atom atom(const char* name) { return XInternAtom(m_display, name, False); }
  Property readProperty(Window window, Atom name);
  std::vector<Window> children(Window window);
  Window parent(Window window);
  // Candidate top-level windows, topmost first.
  std::vector<Window> topLevelWindows();
  void addClientWindows(Window window, int depth, std::vector<Window>& out);
  bool hasTitle(Window window, const std::string& utf8);
  bool windowManagerRunning();
  bool offersActivation();
  bool hasWmState(Window window, long* state);
  bool holdsFocus(Window window);
  Window activeWindow();
  KeyCode keycodeFor(int virtualKey);
  void fakeKey(KeyCode code, bool down);

  Display* m_display;
  Window m_root;
  bool m_hasXTest = false;
  Atom m_netClientList;
  Atom m_netClientListStacking;
  Atom m_netWmName;
  Atom m_utf8String;
  Atom m_netActiveWindow;
  Atom m_netSupportingWmCheck;
  Atom m_netSupported;
  Atom m_wmState;
};

X11Desktop::X11Desktop(Display* display) : m_display(display), m_root(DefaultRootWindow(display)) {
  int eventBase = 0;
  int errorBase = 0;
  int major = 0;
  int minor = 0;
  m_hasXTest = XTestQueryExtension(m_display, &eventBase, &errorBase, &major, &minor) != False;
  m_netClientList = atom("_NET_CLIENT_LIST");
  m_netClientListStacking = atom("_NET_CLIENT_LIST_STACKING");
  m_netWmName = atom("_NET_WM_NAME");
  m_utf8String = atom("UTF8_STRING");
  m_netActiveWindow = atom("_NET_ACTIVE_WINDOW");
  m_netSupportingWmCheck = atom("_NET_SUPPORTING_WM_CHECK");
  m_netSupported = atom("_NET_SUPPORTED");
  m_wmState = atom("WM_STATE");
}

X11Desktop::~X11Desktop() { XCloseDisplay(m_display); }

Property X11Desktop::readProperty(Window window, Atom name) {
  Property property;
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long remaining = 0;
  unsigned char* data = nullptr;
  // Up to 1 MB: far beyond any title or client list.
  const int status = XGetWindowProperty(m_display, window, name, 0, 1L << 18, False, AnyPropertyType, &type, &format,
                                        &count, &remaining, &data);
  if (status != Success || type == None) {
    if (data != nullptr) XFree(data);
    return property;
  }
  property.present = true;
  property.type = type;
  property.format = format;
  if (data != nullptr && format == 8) property.bytes.assign(reinterpret_cast<const char*>(data), count);
  // Format 32 arrives as an array of long, whatever the width of long.
  if (data != nullptr && format == 32) {
    const auto* items = reinterpret_cast<const unsigned long*>(data);
    property.items.assign(items, items + count);
  }
  if (data != nullptr) XFree(data);
  return property;
}

std::vector<Window> X11Desktop::children(Window window) {
  Window root = None;
  Window parentWindow = None;
  Window* list = nullptr;
  unsigned int count = 0;
  std::vector<Window> result;
  if (XQueryTree(m_display, window, &root, &parentWindow, &list, &count) == 0) return result;
  if (list != nullptr) {
    result.assign(list, list + count);
    XFree(list);
  }
  return result;
}

Window X11Desktop::parent(Window window) {
  Window root = None;
  Window parentWindow = None;
  Window* list = nullptr;
  unsigned int count = 0;
  if (XQueryTree(m_display, window, &root, &parentWindow, &list, &count) == 0) return None;
  if (list != nullptr) XFree(list);
  return parentWindow;
}

// A running EWMH window manager keeps a check window that names itself; a
// root property left behind by one that has exited points to nothing.
bool X11Desktop::windowManagerRunning() {
  const Property check = readProperty(m_root, m_netSupportingWmCheck);
  if (check.items.empty()) return false;
  const Property self = readProperty(static_cast<Window>(check.items[0]), m_netSupportingWmCheck);
  return !self.items.empty() && self.items[0] == check.items[0];
}

bool X11Desktop::hasWmState(Window window, long* state) {
  const Property property = readProperty(window, m_wmState);
  if (property.items.empty()) return false;
  if (state != nullptr) *state = static_cast<long>(property.items[0]);
  return true;
}

void X11Desktop::addClientWindows(Window window, int depth, std::vector<Window>& out) {
  if (depth == 0) return;
  std::vector<Window> list = children(window);
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    if (hasWmState(*it, nullptr)) {
      out.push_back(*it);
      continue;
    }
    addClientWindows(*it, depth - 1, out);
  }
}

// The window manager's client list in stacking order when there is one. The
// root's children follow, so that a window the manager does not list (or a
// desktop without a manager) is still found; under a reparenting manager the
// client inside each frame is the one with WM_STATE.
std::vector<Window> X11Desktop::topLevelWindows() {
  std::vector<Window> result;
  if (windowManagerRunning()) {
    Property list = readProperty(m_root, m_netClientListStacking);
    if (list.items.empty()) list = readProperty(m_root, m_netClientList);
    for (auto it = list.items.rbegin(); it != list.items.rend(); ++it) result.push_back(static_cast<Window>(*it));
  }
  std::vector<Window> top = children(m_root);
  for (auto it = top.rbegin(); it != top.rend(); ++it) {
    result.push_back(*it);
    addClientWindows(*it, 2, result);
  }
  return result;
}

// The title is _NET_WM_NAME when the window has one, else WM_NAME. Toolkits
// put UTF-8 bytes into a STRING WM_NAME, so its bytes are compared as they
// are and, failing that, read as the Latin-1 the type stands for.
bool X11Desktop::hasTitle(Window window, const std::string& utf8) {
  const Property netName = readProperty(window, m_netWmName);
  if (netName.present && netName.type == m_utf8String && netName.format == 8) return netName.bytes == utf8;
  const Property name = readProperty(window, XA_WM_NAME);
  if (!name.present || name.format != 8) return false;
  if (name.bytes == utf8) return true;
  return name.type == XA_STRING && latin1ToUtf8(name.bytes) == utf8;
}

ForeignWindow X11Desktop::findWindowByTitle(const Text& title) {
  // A text ends at its first zero byte; an empty title would pick an
  // arbitrary untitled window to click and type into, so it finds none.
  const Text wanted = title.substr(0, title.find('\0'));
  if (wanted.empty()) return 0;
  const std::string utf8 = net::toUtf8(wanted);
  ErrorTrap trap(m_display);
  std::unordered_set<Window> seen;
  for (Window window : topLevelWindows()) {
    if (seen.insert(window).second && hasTitle(window, utf8)) return window;
  }
  return 0;
}

Window X11Desktop::activeWindow() {
  const Property active = readProperty(m_root, m_netActiveWindow);
  return active.items.empty() ? None : static_cast<Window>(active.items[0]);
}

bool X11Desktop::holdsFocus(Window window) {
  Window focus = None;
  int revert = 0;
  XGetInputFocus(m_display, &focus, &revert);
  // With no focus window, or focus following the pointer, no window holds it.
  for (Window w = focus; w != None && w != PointerRoot && w != m_root; w = parent(w)) {
    if (w == window) return true;
  }
  return false;
}

bool X11Desktop::offersActivation() {
  if (!windowManagerRunning()) return false;
  const Property supported = readProperty(m_root, m_netSupported);
  for (unsigned long name : supported.items) {
    if (name == m_netActiveWindow) return true;
  }
  return false;
}

// A window manager that offers activation raises and focuses the window at our
// request, as SetWindowPos does on Windows; we wait (briefly) until it has, so
// that a click right after lands on the window. A minimized window stays
// minimized. A window the manager leaves alone (override-redirect, or one it
// did not activate in time) is raised directly, and without a manager nobody
// else gives the focus, so it is set here.
void X11Desktop::raiseWindow(ForeignWindow window) {
  if (window == 0 || window > kLargestWindowId) return;
  const auto target = static_cast<Window>(window);
  ErrorTrap trap(m_display);
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(m_display, target, &attributes) == 0) return;
  const bool manager = windowManagerRunning();
  if (!attributes.override_redirect && offersActivation()) {
    long state = 0;
    if (hasWmState(target, &state) && state == IconicState) {
      XRaiseWindow(m_display, target);
      return;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = m_netActiveWindow;
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2;  // a request on the user's behalf, not the application's
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(m_display, m_root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XSync(m_display, False);
    const auto limit = std::chrono::steady_clock::now() + kActivationLimit;
    while (activeWindow() != target) {
      if (std::chrono::steady_clock::now() > limit) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (activeWindow() == target) return;
  }
  XRaiseWindow(m_display, target);
  if (!manager && attributes.map_state == IsViewable) XSetInputFocus(m_display, target, RevertToParent, CurrentTime);
  XSync(m_display, False);
}

Point X11Desktop::clientOrigin(ForeignWindow window) {
  if (window == 0 || window > kLargestWindowId) return {};
  ErrorTrap trap(m_display);
  int x = 0;
  int y = 0;
  Window child = None;
  if (XTranslateCoordinates(m_display, static_cast<Window>(window), m_root, 0, 0, &x, &y, &child) == False) return {};
  if (trap.failed()) return {};
  return {x, y};
}

Point X11Desktop::cursorPosition() {
  Window root = None;
  Window child = None;
  int rootX = 0;
  int rootY = 0;
  int x = 0;
  int y = 0;
  unsigned int mask = 0;
  XQueryPointer(m_display, m_root, &root, &child, &rootX, &rootY, &x, &y, &mask);
  return {rootX, rootY};
}

// XTest moves the pointer as the user would, with the crossing and motion
// events that follow; warping is the fallback for a server without it.
void X11Desktop::setCursorPosition(Point screen) {
  if (m_hasXTest) {
    XTestFakeMotionEvent(m_display, DefaultScreen(m_display), screen.x, screen.y, CurrentTime);
  } else {
    XWarpPointer(m_display, None, m_root, 0, 0, 0, 0, screen.x, screen.y);
  }
  XSync(m_display, False);
}

void X11Desktop::mouseClick(MouseAction action) {
  if (!m_hasXTest) return;
  const unsigned int button = action == MouseAction::RightClick ? 3 : 1;
  XTestFakeButtonEvent(m_display, button, True, CurrentTime);
  if (action != MouseAction::LeftPress) XTestFakeButtonEvent(m_display, button, False, CurrentTime);
  XSync(m_display, False);
}

KeyCode X11Desktop::keycodeFor(int virtualKey) {
  const KeySym keysym = keysymForVirtualKey(virtualKey);
  if (keysym == NoSymbol) return 0;
  return XKeysymToKeycode(m_display, keysym);
}

void X11Desktop::fakeKey(KeyCode code, bool down) {
  XTestFakeKeyEvent(m_display, code, down ? True : False, CurrentTime);
}

void X11Desktop::simulateKeyPress(int key1, int key2, int key3) {
  if (!m_hasXTest) return;
  std::vector<KeyCode> codes;
  for (int key : {key1, key2, key3}) {
    const KeyCode code = keycodeFor(key);
    if (code != 0) codes.push_back(code);
  }
  for (KeyCode code : codes) fakeKey(code, true);
  for (KeyCode code : codes) fakeKey(code, false);
  XSync(m_display, False);
}

// A posted key-down reaches a window whether or not it has the focus, but
// many toolkits drop synthetic key events, Tk among them unless it holds the
// focus. So: when the window holds the keyboard focus (deliverToChat has just
// clicked into it) the key is pressed through XTest, which every toolkit
// accepts and which lands in that window; it is released at once, because a
// key left down in the server repeats. Otherwise a synthetic key-down is sent
// to the window's own client and the focus moves nowhere.
void X11Desktop::postKeyDown(ForeignWindow window, int key) {
  if (window == 0 || window > kLargestWindowId) return;
  const auto target = static_cast<Window>(window);
  const KeyCode code = keycodeFor(key);
  if (code == 0) return;
  ErrorTrap trap(m_display);
  if (m_hasXTest && holdsFocus(target)) {
    fakeKey(code, true);
    fakeKey(code, false);
    XSync(m_display, False);
    return;
  }
  XEvent event{};
  event.xkey.type = KeyPress;
  event.xkey.display = m_display;
  event.xkey.window = target;
  event.xkey.root = m_root;
  event.xkey.subwindow = None;
  event.xkey.time = CurrentTime;
  event.xkey.same_screen = True;
  event.xkey.keycode = code;
  // No mask: the event goes to the client that created the window.
  XSendEvent(m_display, target, False, NoEventMask, &event);
  XSync(m_display, False);
}

}  // namespace

std::unique_ptr<Desktop> createDesktop() {
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') return nullptr;
  Display* display = XOpenDisplay(name);
  if (display == nullptr) return nullptr;
  return std::make_unique<X11Desktop>(display);
}

}  // namespace quellbo::platform
