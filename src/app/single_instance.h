#pragma once

#include <windows.h>

// Sent by a second start to the running program's window: come to the front, out of the
// notification area if hidden there.
extern const UINT WM_SHOW_RUNNING_INSTANCE;

// One program per user session: a second start would open a second window over the same part
// file, which the first holds open.
class CSingleInstance {
 public:
  CSingleInstance() = default;
  ~CSingleInstance();
  CSingleInstance(const CSingleInstance&) = delete;
  CSingleInstance& operator=(const CSingleInstance&) = delete;

  // True when this start is the one that runs. False when another runs: its window has been
  // asked to come forward, and this start ends.
  bool Claim(const char* windowTitle);

 private:
  HANDLE m_hMutex = nullptr;
  bool m_bOwned = false;
};
