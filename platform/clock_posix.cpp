#include "platform/clock.h"

#include <ctime>

namespace quellbo::platform {

std::uint64_t systemUptimeMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
}

void systemSleepMs(int ms) {
  if (ms < 0) ms = 0;
  timespec wait{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
  while (nanosleep(&wait, &wait) != 0) {
  }
}

}  // namespace quellbo::platform
