#include <windows.h>

#include <gtest/gtest.h>

#include "platform/timer_resolution.h"
#include "platform/timer_throttling_win32.h"

namespace {

struct Asked {
  int calls = 0;
  HANDLE process = nullptr;
  PROCESS_INFORMATION_CLASS what{};
  PROCESS_POWER_THROTTLING_STATE state{};
  DWORD size = 0;
};
Asked g_asked;
BOOL g_answer = FALSE;

BOOL WINAPI RecordingSetProcessInformation(HANDLE process, PROCESS_INFORMATION_CLASS what,
                                           LPVOID information, DWORD size) {
  ++g_asked.calls;
  g_asked.process = process;
  g_asked.what = what;
  g_asked.size = size;
  if (size == sizeof(g_asked.state)) {
    g_asked.state = *static_cast<const PROCESS_POWER_THROTTLING_STATE*>(information);
  }
  return g_answer;
}

// Windows 11 takes the request; Windows 10 and Wine refuse it; Windows 7 has no such call. Only
// the first counts as kept, and each asks at most once.
TEST(TimerThrottling, AsksToKeepTheResolutionWhenHiddenWhereTheSystemCan) {
  const struct {
    const char* system;
    platform::SetProcessInformationCall call;
    BOOL answer;
    bool kept;
    int calls;
  } rows[] = {
      {"takes it", RecordingSetProcessInformation, TRUE, true, 1},
      {"refuses it", RecordingSetProcessInformation, FALSE, false, 1},
      {"has no such call", nullptr, TRUE, false, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.system);
    g_asked = {};
    g_answer = row.answer;
    EXPECT_EQ(platform::KeepTimerResolutionWhenHidden(row.call), row.kept);
    ASSERT_EQ(g_asked.calls, row.calls);
    if (row.calls == 0) {
      continue;
    }
    EXPECT_EQ(g_asked.process, GetCurrentProcess());
    EXPECT_EQ(g_asked.what, ProcessPowerThrottling);
    EXPECT_EQ(g_asked.size, sizeof(PROCESS_POWER_THROTTLING_STATE));
    EXPECT_EQ(g_asked.state.Version, static_cast<ULONG>(PROCESS_POWER_THROTTLING_CURRENT_VERSION));
    // Overridden (control mask) to "not throttled" (state mask clear).
    EXPECT_EQ(g_asked.state.ControlMask,
              static_cast<ULONG>(PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION));
    EXPECT_EQ(g_asked.state.StateMask, 0u);
  }
  // Wine has the call, and refuses: the resolution is held without it.
  EXPECT_NE(platform::FindSetProcessInformation(), nullptr);
  platform::FineTimerResolution resolution;
  resolution.Hold();
  resolution.Release();
}

}  // namespace
