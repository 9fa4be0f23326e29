#pragma once

#include "platform/text.h"

namespace quellbo::platform {

// Time limits of httpReadFile: a dead host cannot hold the window long.
inline constexpr long kHttpConnectTimeoutMs = 10000;
inline constexpr long kHttpTransferTimeoutMs = 30000;

// Body of a GET of an http or https URL (any port), empty on failure. HTTP
// error statuses still give their body; certificates are verified.
Bytes httpReadFile(const Text& url);

}  // namespace quellbo::platform
