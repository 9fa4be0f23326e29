#include "app/remote_addresses.h"

#include "net/curl_easy.h"
#include "platform/ini_file.h"

namespace quellbo::app {

namespace {

RemoteAddresses& current() {
  static RemoteAddresses addresses = defaultRemoteAddresses();
  return addresses;
}

}  // namespace

RemoteAddresses defaultRemoteAddresses() {
  return {
      "https://api.quellbo.example:10001",
      "https://jd.quellbo.example",
      "http://update.quellbo.example",
      "http://www.quellbo.example",
      "http://www.quellbo.example/help/download.html",
      "http://www.quellbo.example/help/jd-cookie.html",
      "",
  };
}

void loadRemoteAddresses(const Text& settingsFile) {
  const platform::IniFile ini = platform::IniFile::load(settingsFile);
  const RemoteAddresses defaults = defaultRemoteAddresses();
  // An empty value means the default too, except where empty has a meaning
  // of its own (no update check, no extra CA).
  auto address = [&](const char* key, const Text& fallback, bool emptyAllowed) {
    const auto value = ini.value(kServiceSection, key);
    if (!value) return fallback;
    if (value->empty() && !emptyAllowed) return fallback;
    Text v = *value;
    while (!v.empty() && v.back() == '/') v.pop_back();
    return v;
  };
  RemoteAddresses& a = current();
  a.conversionApi = address("转链接口", defaults.conversionApi, false);
  a.jdConverter = address("京粉转链", defaults.jdConverter, false);
  a.updateServer = address("更新服务器", defaults.updateServer, true);
  a.website = address("网站", defaults.website, false);
  a.downloadLink = ini.value(kServiceSection, "下载链接").value_or(defaults.downloadLink);
  a.helpLink = ini.value(kServiceSection, "帮助链接").value_or(defaults.helpLink);
  a.caFile = ini.value(kServiceSection, "CA证书").value_or("");
  net::setExtraCaFile(a.caFile);
}

const RemoteAddresses& remoteAddresses() { return current(); }

}  // namespace quellbo::app
