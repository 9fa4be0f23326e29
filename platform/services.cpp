#include "platform/services.h"

#include <cstdio>
#include <cstdlib>

namespace quellbo::platform {

namespace {
Services* g_services = nullptr;
}

Services& services() {
  if (g_services == nullptr) {
    std::fputs("quellbo: platform services used before they were installed\n", stderr);
    std::abort();
  }
  return *g_services;
}

void installServices(Services* services) { g_services = services; }

int showMessage(const Text& content, int buttons, const Text& title) {
  return services().showMessage(content, buttons, title);
}

int showMessage(const char* content, int buttons, const Text& title) {
  return showMessage(Text(content != nullptr ? content : ""), buttons, title);
}

int showMessage(bool content, int buttons, const Text& title) { return showMessage(toText(content), buttons, title); }

int showMessage(long long content, int buttons, const Text& title) {
  return showMessage(toText(content), buttons, title);
}

void simulateKeyPress(int key1, int key2, int key3) {
  if (Desktop* desktop = services().desktop()) desktop->simulateKeyPress(key1, key2, key3);
}

}  // namespace quellbo::platform
