#include "app/handlers.h"

#include "app/remote_addresses.h"
#include "app/settings_file.h"
#include "app/update_check.h"
#include "assist/credentials.h"
#include "assist/help_links.h"
#include "convert/conversion.h"
#include "relay/chat_delivery.h"
#include "relay/record_intake.h"
#include "relay/relay_loop.h"

namespace quellbo::app {

namespace {

struct Binding {
  platform::Form form;
  const char* button;
  Handler handler;
};

constexpr Binding kBindings[] = {
    {platform::Form::Main, "按钮1", convert::runConversion},
    {platform::Form::Main, "按钮3", assist::openCredentialsWindow},
    {platform::Form::Main, "按钮4", relay::choosePluginFolder},
    {platform::Form::Main, "按钮5", relay::startRelay},
    {platform::Form::Main, "按钮6", relay::stopRelay},
    {platform::Form::Main, "按钮7", assist::openDownloadPage},
    {platform::Form::Main, "按钮8", assist::openCookieHelp},
    {platform::Form::Main, "按钮9", relay::deliverToChat},
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

void onMainWindowCreated() {
  // One look for the settings folder serves both reads of the file.
  const Text settings = settingsPath();
  loadRemoteAddresses(settings);
  checkForUpdate();
  restoreEditBoxes(platform::Form::Main, settings);
}

void onMainWindowDestroying() { saveEditBoxes(platform::Form::Main); }

}  // namespace quellbo::app
