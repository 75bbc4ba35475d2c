#include "engine/download_job.h"
#include "engine/timers.h"

void CDownloadJob::OnWorkerDone(uintptr_t wParam) {
  auto* worker = reinterpret_cast<CDownloadThread*>(wParam);
  // Only the live size probe's report counts. Segment workers report this only when stopped
  // before they began; such a worker, and any retired one, is still allocated here (the reaper
  // frees a worker only after its last message), so the comparison is all it takes.
  if (worker == nullptr || worker != m_pProbe) {
    return;
  }
  m_pProbe = nullptr;
  const int64_t size = worker->m_nStart;
  if (size > 0) {
    m_nFileSize = size;
    m_strTotalKB = FormatThousands(static_cast<int32_t>(size / 1024));
    m_view.MessageTarget().SetTimer(TIMER_START, kStartDelayMs, platform::TimerMode::OneShot);
  } else {
    // Not found, empty, or the probe failed: ask again, without end, after a pause.
    m_view.MessageTarget().SetTimer(TIMER_PROBE_RETRY, kProbeRetryDelayMs,
                                    platform::TimerMode::OneShot);
  }
  // The first segment opens a connection of its own; the probe's is closed with it.
  StopAndRetire(worker);
}

void CDownloadJob::OnWorkerBytes(intptr_t lParam) {
  const auto bytes = static_cast<int64_t>(lParam);
  m_nReceivedForSpeed += bytes;
  m_nReceived += bytes;
}
