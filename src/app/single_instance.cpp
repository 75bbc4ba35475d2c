#include "app/single_instance.h"

namespace {

constexpr char kMutexName[] = "Local\\MoraventDL_Vellomarch.SingleInstance";
// The window class of dialogs.
constexpr char kDialogClass[] = "#32770";
// How long a second start waits for a first one that has no window yet (starting up) or still
// holds its claim (ending).
constexpr DWORD kWaitForFirstMs = 10000;
constexpr DWORD kLookEveryMs = 100;

}  // namespace

const UINT WM_SHOW_RUNNING_INSTANCE = RegisterWindowMessageA("MoraventDL_Vellomarch.ShowWindow");

CSingleInstance::~CSingleInstance() {
  if (m_bOwned) {
    ReleaseMutex(m_hMutex);
  }
  if (m_hMutex != nullptr) {
    CloseHandle(m_hMutex);
  }
}

bool CSingleInstance::Claim(const char* windowTitle) {
  m_hMutex = CreateMutexA(nullptr, TRUE, kMutexName);
  if (m_hMutex == nullptr) {
    return true;  // nothing to coordinate with: run, as a program without the check would
  }
  if (GetLastError() != ERROR_ALREADY_EXISTS) {
    m_bOwned = true;
    return true;
  }
  for (DWORD waited = 0; waited < kWaitForFirstMs; waited += kLookEveryMs) {
    if (const HWND running = FindWindowA(kDialogClass, windowTitle)) {
      DWORD process = 0;
      GetWindowThreadProcessId(running, &process);
      // The running program may take the foreground only with leave of the one that has it.
      AllowSetForegroundWindow(process);
      PostMessageA(running, WM_SHOW_RUNNING_INSTANCE, 0, 0);
      return false;
    }
    // An abandoned claim (the first start ended) is a claim all the same.
    const DWORD wait = WaitForSingleObject(m_hMutex, kLookEveryMs);
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) {
      m_bOwned = true;
      return true;
    }
  }
  return false;
}
