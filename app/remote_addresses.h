#pragma once

#include "platform/text.h"

namespace quellbo::app {

// Where the remote services are: section "服务" of the settings file. A
// missing key means its default; values are base addresses (scheme, host,
// port, no trailing slash) except the two links, which are whole addresses.
struct RemoteAddresses {
  Text conversionApi;  // 转链接口
  Text jdConverter;    // 京粉转链
  Text updateServer;   // 更新服务器; "" turns the update check off
  Text website;        // 网站
  Text downloadLink;   // 下载链接
  Text helpLink;       // 帮助链接
  Text caFile;         // CA证书: an extra CA bundle trusted for HTTPS
};

inline constexpr const char* kServiceSection = "服务";

// Reads the section from the settings file and makes the addresses current
// (the extra CA bundle included).
void loadRemoteAddresses(const Text& settingsFile);
const RemoteAddresses& remoteAddresses();
RemoteAddresses defaultRemoteAddresses();

}  // namespace quellbo::app
