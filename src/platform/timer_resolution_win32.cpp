#include <windows.h>

#include <timeapi.h>

#include "platform/timer_resolution.h"

namespace platform {

void FineTimerResolution::Hold() {
  if (!m_bHeld) {
    m_bHeld = timeBeginPeriod(1) == TIMERR_NOERROR;
  }
}

void FineTimerResolution::Release() {
  if (m_bHeld) {
    timeEndPeriod(1);
    m_bHeld = false;
  }
}

}  // namespace platform
