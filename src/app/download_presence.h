#pragma once

#include <windows.h>

#include <shobjidl.h>

#include "app/com_scope.h"
#include "engine/download_view.h"

// What Windows shows of the download beyond the window: the progress on the taskbar button
// (a figure while fetching, moving while there is none yet, paused, failed) and the computer
// kept from sleeping while the download runs. Every call fails quietly where the system offers
// no taskbar list; the computer may sleep again when the object goes.
class CDownloadPresence {
 public:
  explicit CDownloadPresence(HWND window) : m_hWnd(window) {}
  ~CDownloadPresence();
  CDownloadPresence(const CDownloadPresence&) = delete;
  CDownloadPresence& operator=(const CDownloadPresence&) = delete;

  void Show(DownloadActivity activity);
  // The figure the taskbar button shows while fetching, paused or failed (0..100).
  void SetPercent(int percent);

 private:
  // Made at first use, once the window's taskbar button exists; null where there is none.
  ITaskbarList3* Taskbar();
  void ShowPercent();

  HWND m_hWnd;
  ScopedComInit m_com;
  ITaskbarList3* m_pTaskbar = nullptr;
  bool m_bTaskbarAsked = false;
  DownloadActivity m_activity = DownloadActivity::Completed;
  int m_nPercent = 0;
};
