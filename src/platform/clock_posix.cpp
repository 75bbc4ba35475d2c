#include <time.h>

#include <cerrno>

#include "platform/clock.h"

namespace platform {

uint32_t TickCount() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const uint64_t ms =
      static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(ms);
}

void SleepMs(uint32_t ms) {
  timespec left{static_cast<time_t>(ms / 1000u), static_cast<long>(ms % 1000u) * 1000000L};
  // A signal cuts the sleep short; sleep the rest.
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

}  // namespace platform
