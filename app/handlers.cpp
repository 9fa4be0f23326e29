#include "app/handlers.h"

#include <utility>

namespace quellbo::app {

namespace {

struct Binding {
  platform::Form form;
  const char* button;
  Handler handler;
};

// Buttons whose handlers exist so far; the others stay unconnected.
constexpr Binding kBindings[] = {
    {platform::Form::Main, "", nullptr},
};

}  // namespace

Handler clickHandler(platform::Form form, const Text& button) {
  for (const auto& b : kBindings) {
    if (b.form == form && button == b.button) return b.handler;
  }
  return nullptr;
}

void onMainWindowCreated() {}

void onMainWindowDestroying() {}

}  // namespace quellbo::app
