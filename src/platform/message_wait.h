#pragma once

#include <cstdint>

#include "platform/event.h"

namespace platform {

enum class WaitOutcome { EventSet, InputWaiting, TimedOut };

// One wait of the calling thread for the event or for input in its message queue, at most
// timeoutMs; TimedOut also stands for a failed wait. The event wins when both are ready.
// InputWaiting may be reported without input when the wait was cut short; the caller pumps and
// waits again.
WaitOutcome WaitForEventOrInput(Event& event, uint32_t timeoutMs);

}  // namespace platform
