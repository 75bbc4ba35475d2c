#pragma once

#include <cstdint>
#include <string>

#include "engine/download_view.h"
#include "progress/progress_texts.h"

class CDownloadJob;

// What one display tick reads from the download job.
struct ProgressCounters {
  static ProgressCounters Of(const CDownloadJob& job);

  int64_t fileSize = 0;          // the remote file's size
  int64_t received = 0;          // bytes in the part file plus bytes held by live workers
  int64_t receivedForSpeed = 0;  // bytes received since the start, never decreased
  std::string totalKBText;       // the remote size in KB, thousands-separated
  bool running = false;          // false while paused
};

// The progress display's bookkeeping: the speed over the last five display periods (a running sum
// over a six-slot ring, so a tick costs one addition and one subtraction), the percent complete
// and the remaining time. It lives as long as the window, one download per run; nothing resets it.
class CProgressMonitor {
 public:
  // The window's timer handler: the start tick (opens the part file and starts segment 0), the
  // size probe's retry, the display tick and the scheduler tick. Other ids are not the
  // download's and change nothing.
  void OnTimer(uint32_t id, CDownloadJob& job, IDownloadView& view);
  // What the completion shows of the progress: 100 % on the bar and in the tray tooltip.
  void ShowComplete(IDownloadView& view);

  // The work of one display tick: takes a speed sample and shows progress, speed and remaining
  // time in the window and the tray tooltip. While paused it changes and shows nothing, so the
  // first sample after the pause covers all of it.
  void UpdateProgressDisplay(const ProgressCounters& counters, IDownloadView& view);

  int32_t m_nSpeedKBps = 0;
  int32_t m_nRemainingSec = 0;
  // Bytes received in each display period; the slot at m_nSpeedSlot is written next.
  int32_t m_speedDeltas[6] = {};
  int32_t m_nSpeedSlot = 0;
  // m_nReceivedForSpeed at the previous sample.
  int64_t m_nLastSpeedSample = 0;
  // The five most recent deltas: 10 seconds of the 2-second display period.
  int32_t m_nSpeedWindowSum = 0;
  // Also what the window shows on the progress bar.
  int m_nPercent = 0;

 private:
  void TakeSpeedSample(int64_t receivedForSpeed);
};
