#include <windows.h>

#include <timeapi.h>

#include "platform/system_library_win32.h"
#include "platform/timer_resolution.h"
#include "platform/timer_throttling_win32.h"

namespace platform {

namespace {

// winmm is no known DLL: taken from the system folder when first needed.
using TimePeriodCall = MMRESULT(WINAPI*)(UINT);

TimePeriodCall TimeBeginPeriod() {
  static const auto call = FindSystemFunction<TimePeriodCall>(L"winmm.dll", "timeBeginPeriod");
  return call;
}

TimePeriodCall TimeEndPeriod() {
  static const auto call = FindSystemFunction<TimePeriodCall>(L"winmm.dll", "timeEndPeriod");
  return call;
}

}  // namespace

SetProcessInformationCall FindSetProcessInformation() {
  return FindKernelFunction<SetProcessInformationCall>("SetProcessInformation");
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
    const TimePeriodCall begin = TimeBeginPeriod();
    m_bHeld = begin != nullptr && TimeEndPeriod() != nullptr && begin(1) == TIMERR_NOERROR;
  }
}

void FineTimerResolution::Release() {
  if (m_bHeld) {
    TimeEndPeriod()(1);
    m_bHeld = false;
  }
}

}  // namespace platform
