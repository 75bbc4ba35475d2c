#include "platform/clock.h"
#include "platform/message_target.h"
#include "platform/message_wait.h"

namespace platform {

bool WaitWithPump(Event& event, uint32_t timeoutMs) {
  const uint32_t start = TickCount();
  for (;;) {
    uint32_t left = kInfinite;
    if (timeoutMs != kInfinite) {
      // Unsigned tick arithmetic survives the 2^32 wrap; a deadline that pumping ran past ends
      // the wait instead of turning into a near-endless one.
      const uint32_t elapsed = TickCount() - start;
      if (elapsed > timeoutMs) {
        return false;
      }
      left = timeoutMs - elapsed;
    }
    switch (WaitForEventOrInput(event, left)) {
      case WaitOutcome::EventSet:
        return true;
      case WaitOutcome::InputWaiting:
        PumpMessages();
        break;
      case WaitOutcome::TimedOut:
        return false;
    }
  }
}

}  // namespace platform
