#pragma once

#include <cstdint>

namespace platform {

// Milliseconds since an arbitrary start, wrapping at 2^32 like the system tick count.
uint32_t TickCount();
void SleepMs(uint32_t ms);

}  // namespace platform
