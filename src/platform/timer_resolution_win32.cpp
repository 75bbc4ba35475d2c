#include <windows.h>

#include <timeapi.h>

#include "platform/timer_resolution.h"
#include "platform/timer_throttling_win32.h"

namespace platform {

SetProcessInformationCall FindSetProcessInformation() {
  return reinterpret_cast<SetProcessInformationCall>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetProcessInformation")));
}

bool KeepTimerResolutionWhenHidden(SetProcessInformationCall setProcessInformation) {
  if (setProcessInformation == nullptr) {
    return false;
  }
  // The flag in the control mask and not in the state mask: the system's choice is overridden,
  // and the choice is "not throttled".
  PROCESS_POWER_THROTTLING_STATE state{};
  state.Version = PROCESS_POWER_THROTTLING_CURRENT_VERSION;
  state.ControlMask = PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION;
  state.StateMask = 0;
  return setProcessInformation(GetCurrentProcess(), ProcessPowerThrottling, &state,
                               sizeof(state)) != FALSE;
}

void FineTimerResolution::Hold() {
  if (!m_bHeld) {
    // Once for the process: the setting outlives every hold.
    static const bool keptWhenHidden = KeepTimerResolutionWhenHidden(FindSetProcessInformation());
    (void)keptWhenHidden;
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
