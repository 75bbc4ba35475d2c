#include "engine/download_job.h"
#include "engine/part_file.h"
#include "engine/timers.h"
#include "progress/progress_monitor.h"

ProgressCounters ProgressCounters::Of(const CDownloadJob& job) {
  ProgressCounters counters;
  counters.fileSize = job.m_nFileSize;
  counters.received = job.m_nReceived;
  counters.receivedForSpeed = job.m_nReceivedForSpeed;
  counters.totalKBText = job.m_strTotalKB;
  counters.running = job.m_bRunning != 0;
  return counters;
}

void CProgressMonitor::OnTimer(uint32_t id, CDownloadJob& job, IDownloadView& view) {
  switch (id) {
    case TIMER_START: {
      view.MessageTarget().KillTimer(TIMER_START);  // it runs once
      const std::string path = job.PartPath();
      const std::optional<int64_t> length = OpenPartFile(job.m_partFile, path);
      if (!length) {
        view.ShowMessage(path, "File creation error");
        return;
      }
      job.StartFirstSegment(*length);
      return;
    }
    case TIMER_PROBE_RETRY:
      view.MessageTarget().KillTimer(TIMER_PROBE_RETRY);  // it runs once
      job.LaunchSizeProbe();
      return;
    case TIMER_DISPLAY:
      UpdateProgressDisplay(ProgressCounters::Of(job), view);
      return;
    case TIMER_SCHEDULER:
      // A pass, pause or resume further up this thread keeps the guard: this tick is skipped.
      if (job.m_bRunning == 1 && !job.m_schedGuard) {
        job.m_schedGuard = true;
        job.ScheduleSegments();
      }
      return;
    default:
      return;
  }
}

void CProgressMonitor::ShowComplete(IDownloadView& view) {
  m_nPercent = 100;
  view.SetProgressPosition(m_nPercent);
  view.SetTrayTooltip(TrayTooltipText(m_nPercent));
}
