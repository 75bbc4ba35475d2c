#include "platform/timer_resolution.h"

namespace platform {

// Sleeps here are as fine as asked: the state is kept only so that the job's calls read alike.
void FineTimerResolution::Hold() {
  m_bHeld = true;
}

void FineTimerResolution::Release() {
  m_bHeld = false;
}

}  // namespace platform
