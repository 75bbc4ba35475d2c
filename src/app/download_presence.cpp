#include "app/download_presence.h"

namespace {

TBPFLAG TaskbarState(DownloadActivity activity) {
  switch (activity) {
    case DownloadActivity::Preparing:
      return TBPF_INDETERMINATE;
    case DownloadActivity::Transferring:
      return TBPF_NORMAL;
    case DownloadActivity::Paused:
      return TBPF_PAUSED;
    case DownloadActivity::Failed:
      return TBPF_ERROR;
    case DownloadActivity::Completed:
      break;
  }
  return TBPF_NOPROGRESS;
}

bool KeepsAwake(DownloadActivity activity) {
  return activity == DownloadActivity::Preparing || activity == DownloadActivity::Transferring;
}

}  // namespace

CDownloadPresence::~CDownloadPresence() {
  SetThreadExecutionState(ES_CONTINUOUS);
  if (m_pTaskbar != nullptr) {
    m_pTaskbar->Release();
  }
}

void CDownloadPresence::Show(DownloadActivity activity) {
  m_activity = activity;
  // Continuous: the request holds, for this thread, until the next call replaces it.
  SetThreadExecutionState(KeepsAwake(activity) ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED
                                               : ES_CONTINUOUS);
  if (ITaskbarList3* taskbar = Taskbar()) {
    taskbar->SetProgressState(m_hWnd, TaskbarState(activity));
  }
  ShowPercent();
}

void CDownloadPresence::SetPercent(int percent) {
  m_nPercent = percent;
  ShowPercent();
}

void CDownloadPresence::ShowPercent() {
  // A figure set in the other states would turn the button's bar back to normal.
  const bool figure = m_activity == DownloadActivity::Transferring ||
                      m_activity == DownloadActivity::Paused ||
                      m_activity == DownloadActivity::Failed;
  if (!figure) {
    return;
  }
  if (ITaskbarList3* taskbar = Taskbar()) {
    taskbar->SetProgressValue(m_hWnd, static_cast<ULONGLONG>(m_nPercent), 100);
  }
}

ITaskbarList3* CDownloadPresence::Taskbar() {
  if (!m_bTaskbarAsked) {
    m_bTaskbarAsked = true;
    ITaskbarList3* taskbar = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ITaskbarList3, reinterpret_cast<void**>(&taskbar)))) {
      if (SUCCEEDED(taskbar->HrInit())) {
        m_pTaskbar = taskbar;
      } else {
        taskbar->Release();
      }
    }
  }
  return m_pTaskbar;
}
