#pragma once

#include <cstdint>

namespace quellbo::platform {

// The system's monotonic clock in milliseconds, and a real sleep; the
// services' uptimeMs and sleepMs use these outside tests.
std::uint64_t systemUptimeMs();
void systemSleepMs(int ms);

}  // namespace quellbo::platform
