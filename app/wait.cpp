#include "app/wait.h"

#include "platform/services.h"

namespace quellbo::app {

void waitMs(int ms) {
  const std::uint64_t span = ms < 0 ? 0 : static_cast<std::uint64_t>(ms);
  // Elapsed time from the reading at entry, so a wrapping counter cannot cut
  // the wait short.
  const std::uint64_t start = platform::uptimeMs();
  std::uint64_t now = start;
  do {
    now = platform::uptimeMs();
    platform::processEvents();
    platform::sleepMs(1);
  } while (now - start < span);
}

}  // namespace quellbo::app
