#include "app/handlers.h"

#include <utility>

#include "assist/credentials.h"

namespace quellbo::app {

namespace {

struct Binding {
  platform::Form form;
  const char* button;
  Handler handler;
};

// Buttons whose handlers exist so far; the others stay unconnected.
constexpr Binding kBindings[] = {
    {platform::Form::Main, "按钮3", assist::openCredentialsWindow},
    {platform::Form::Credentials, "按钮1", assist::openLoginPage},
    {platform::Form::Credentials, "按钮2", assist::fetchAppkey},
    {platform::Form::Credentials, "按钮3", assist::fetchSid},
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
