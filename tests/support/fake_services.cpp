#include "tests/support/fake_services.h"

#include "app/form_spec.h"

namespace quellbo::test {

using platform::Form;

namespace {
std::vector<FakeServices::Control> controlsOf(const app::FormSpec& form) {
  std::vector<FakeServices::Control> controls;
  for (const auto& c : form.controls) controls.push_back({c.kind, c.name, c.text, {c.width, c.height}});
  return controls;
}
}  // namespace

FakeServices::FakeServices() {
  forms[Form::Main] = controlsOf(app::mainForm());
  forms[Form::Credentials] = controlsOf(app::credentialsForm());
  clientSizes[Form::Main] = {app::mainForm().width, app::mainForm().height};
  clientSizes[Form::Credentials] = {app::credentialsForm().width, app::credentialsForm().height};
  open[Form::Main] = true;
  open[Form::Credentials] = false;
  platform::installServices(this);
}

FakeServices::~FakeServices() { platform::installServices(nullptr); }

void FakeServices::queueEvent(std::function<void()> event, std::uint64_t atMs) {
  m_events.push_back({atMs, std::move(event)});
}

FakeServices::Control* FakeServices::control(Form form, const Text& name) {
  for (auto& c : forms[form]) {
    if (c.name == name) return &c;
  }
  return nullptr;
}

Text FakeServices::readControlText(Form form, const Text& name) {
  const Control* c = control(form, name);
  return c != nullptr ? c->text : Text{};
}

void FakeServices::writeControlText(Form form, const Text& name, const Text& text) {
  if (Control* c = control(form, name)) c->text = text;
}

TextList FakeServices::findControls(Form form, const Text& kind) {
  TextList names;
  for (const auto& c : forms[form]) {
    if (c.kind == kind) names.push_back(c.name);
  }
  return names;
}

void FakeServices::setControlSize(Form form, const Text& name, platform::Size size) {
  if (Control* c = control(form, name)) c->size = size;
}

platform::Size FakeServices::clientSize(Form form) { return clientSizes[form]; }

void FakeServices::maximizeWindow(Form form) {
  maximized[form] = true;
  clientSizes[form] = {1280, 1000};
}

int FakeServices::showMessage(const Text& content, int buttons, const Text&) {
  messages.push_back(content);
  messageButtons.emplace_back(content, buttons);
  if (onMessage) onMessage(content);
  if (messageAnswers.empty()) return platform::kAnswerOk;
  const int answer = messageAnswers.front();
  messageAnswers.pop_front();
  return answer;
}

void FakeServices::openWindow(Form form, bool) {
  open[form] = true;
  openedWindows.push_back(form);
}

void FakeServices::closeWindow(Form form) {
  queueEvent([this, form] {
    if (!open[form]) return;
    if (onWindowDestroying) onWindowDestroying(form);
    open[form] = false;
  });
}

bool FakeServices::isWindowOpen(Form form) { return open[form]; }

void FakeServices::processEvents() {
  ++processEventsCalls;
  // Events queued while these run wait for the next call, as in a real loop.
  std::vector<Event> due;
  std::vector<Event> later;
  for (auto& e : m_events) (e.atMs <= now ? due : later).push_back(std::move(e));
  m_events = std::move(later);
  for (auto& e : due) e.run();
}

Text FakeServices::getClipboardText() { return clipboard; }

void FakeServices::setClipboardText(const Text& text) {
  clipboard = text;
  desktopLog.push_back("clipboard " + text);
}

void FakeServices::clearClipboard() {
  clipboard.clear();
  desktopLog.push_back("clipboard cleared");
}

Text FakeServices::browseForFolder(const Text& prompt) {
  lastFolderPrompt = prompt;
  return folderChoice;
}

void FakeServices::openUrl(const Text& url) { openedUrls.push_back(url); }

void FakeServices::navigateBrowser(Form, const Text& url) { navigations.push_back(url); }

platform::ForeignWindow FakeServices::PretendDesktop::findWindowByTitle(const Text& title) {
  for (std::size_t i = 0; i < m_owner.desktopWindows.size(); ++i) {
    if (m_owner.desktopWindows[i].title == title) return i + 1;
  }
  return 0;
}

void FakeServices::PretendDesktop::raiseWindow(platform::ForeignWindow window) {
  m_owner.desktopLog.push_back("raise " + std::to_string(window));
}

platform::Point FakeServices::PretendDesktop::clientOrigin(platform::ForeignWindow window) {
  if (window == 0 || window > m_owner.desktopWindows.size()) return {};
  return m_owner.desktopWindows[window - 1].origin;
}

void FakeServices::PretendDesktop::mouseClick(platform::MouseAction action) {
  const char* name = action == platform::MouseAction::LeftClick    ? "left"
                     : action == platform::MouseAction::RightClick ? "right"
                                                                   : "press";
  std::string line = "click ";
  line.append(name).append(" at ").append(std::to_string(m_owner.cursor.x)).append(",").append(std::to_string(m_owner.cursor.y));
  m_owner.desktopLog.push_back(line);
}

void FakeServices::PretendDesktop::simulateKeyPress(int key1, int key2, int key3) {
  std::string line = "keys ";
  line.append(std::to_string(key1));
  for (int key : {key2, key3}) {
    if (key != 0) line.append("+").append(std::to_string(key));
  }
  m_owner.desktopLog.push_back(line);
}

void FakeServices::PretendDesktop::postKeyDown(platform::ForeignWindow window, int key) {
  std::string line = "keydown ";
  line.append(std::to_string(key)).append(" to ").append(std::to_string(window));
  m_owner.desktopLog.push_back(line);
}

bool FakeServices::waitForClipboardFetch(int) {
  processEvents();
  return true;
}

std::uint64_t FakeServices::uptimeMs() { return now; }

void FakeServices::sleepMs(int ms) { now += static_cast<std::uint64_t>(ms < 0 ? 0 : ms); }

}  // namespace quellbo::test
