#include "platform/timer_resolution.h"

namespace platform {

// Sleeps here are as fine as asked already: only the state is kept, as on Windows.
void FineTimerResolution::Hold() {
  m_bHeld = true;
}

void FineTimerResolution::Release() {
  m_bHeld = false;
}

}  // namespace platform
