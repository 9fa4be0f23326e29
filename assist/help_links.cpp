#include "assist/help_links.h"

#include "app/remote_addresses.h"
#include "platform/services.h"

namespace quellbo::assist {

void openDownloadPage() {
  platform::showMessage(kOpeningBrowser);
  platform::openUrl(app::remoteAddresses().downloadLink);
}

void openCookieHelp() {
  platform::showMessage(kOpeningBrowser);
  platform::openUrl(app::remoteAddresses().helpLink);
}

}  // namespace quellbo::assist
