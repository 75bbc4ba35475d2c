// The window's timers and the messages that workers and other senders post to it.

#include "app/downloader_dlg.h"
#include "engine/helpers.h"
#include "engine/timers.h"

void CDownloaderDlg::OnTimer(UINT_PTR id) {
  if (id == TIMER_START || id == TIMER_PROBE_RETRY || id == TIMER_DISPLAY ||
      id == TIMER_SCHEDULER) {
    RunJobCall([&] { m_monitor.OnTimer(static_cast<uint32_t>(id), m_job, *this); });
    return;
  }
  Default();
}

LRESULT CDownloaderDlg::OnWorkerDone(WPARAM wParam, LPARAM) {
  RunJobCall([&] { m_job.OnWorkerDone(wParam); });
  return 0;
}

LRESULT CDownloaderDlg::OnWorkerBytes(WPARAM, LPARAM lParam) {
  m_job.OnWorkerBytes(lParam);
  return 0;
}

LRESULT CDownloaderDlg::OnFileHashed(WPARAM wParam, LPARAM) {
  RunJobCall([&] { m_job.OnFileHashed(wParam); });
  return 0;
}

LRESULT CDownloaderDlg::OnPartWritten(WPARAM wParam, LPARAM lParam) {
  RunJobCall([&] { m_job.OnPartWritten(wParam, lParam); });
  return 0;
}

LRESULT CDownloaderDlg::OnTotalSize(WPARAM, LPARAM lParam) {
  m_job.m_strTotalKB = FormatThousands(static_cast<int32_t>(lParam));
  return 0;
}

LRESULT CDownloaderDlg::OnSpeed(WPARAM, LPARAM lParam) {
  m_monitor.m_nSpeedKBps = static_cast<int32_t>(lParam);
  return 0;
}

// The status, remaining-time and two spare numbers have no sender; answered and otherwise
// ignored, so nothing else takes their numbers. A status message's text pointer is never read.
LRESULT CDownloaderDlg::OnUnusedMessage(WPARAM, LPARAM) {
  return 0;
}
