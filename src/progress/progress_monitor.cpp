#include "progress/progress_monitor.h"

#include "engine/helpers.h"

namespace {

constexpr int32_t kSpeedSlots = 6;
// The window sum covers five 2-second display periods.
constexpr int32_t kSpeedWindowSeconds = 10;

// The low 32 bits as a signed number, without relying on overflow.
int32_t Low32(int64_t value) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
}

// Two's-complement sums and differences in 32 bits, so that a window past 2 GiB wraps as the
// field's width implies instead of being undefined.
int32_t WrappingAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
int32_t WrappingSubtract(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

int PercentComplete(int64_t received, int64_t fileSize) {
  const int64_t hundredth = fileSize / 100;
  if (hundredth > 0) {
    return static_cast<int>(static_cast<float>(received) / static_cast<float>(hundredth));
  }
  // A file under 100 bytes has no whole hundredth to divide by; exact arithmetic is cheap there.
  if (fileSize > 0) {
    return static_cast<int>(received * 100 / fileSize);
  }
  return 100;
}

}  // namespace

void CProgressMonitor::UpdateProgressDisplay(const ProgressCounters& counters,
                                             IDownloadView& view) {
  if (!counters.running) {
    return;
  }
  TakeSpeedSample(counters.receivedForSpeed);
  m_nSpeedKBps = m_nSpeedWindowSum / kSpeedWindowSeconds / 1024;
  if (m_nSpeedKBps < 1) {
    m_nSpeedKBps = 1;
  }
  m_nPercent = PercentComplete(counters.received, counters.fileSize);
  m_nRemainingSec = static_cast<int32_t>((counters.fileSize - counters.received) /
                                         (static_cast<int64_t>(m_nSpeedKBps) * 1024));

  view.SetProgressPosition(m_nPercent);
  view.SetTrayTooltip(TrayTooltipText(m_nPercent));
  view.SetTimeText(FormatRemainingTime(m_nRemainingSec));
  const std::string receivedKB = FormatThousands(Low32(counters.received / 1024));
  view.SetStatusText(
      ProgressStatusText(receivedKB, counters.totalKBText, m_nPercent, m_nSpeedKBps));
}

void CProgressMonitor::TakeSpeedSample(int64_t receivedForSpeed) {
  const int32_t delta = Low32(receivedForSpeed - m_nLastSpeedSample);
  m_nLastSpeedSample = receivedForSpeed;
  m_speedDeltas[m_nSpeedSlot] = delta;
  m_nSpeedWindowSum = WrappingAdd(m_nSpeedWindowSum, delta);
  m_nSpeedSlot = (m_nSpeedSlot + 1) % kSpeedSlots;
  // The slot now due holds the delta written five ticks earlier (zero until the ring has
  // filled); taking it out leaves the five most recent deltas in the sum.
  m_nSpeedWindowSum = WrappingSubtract(m_nSpeedWindowSum, m_speedDeltas[m_nSpeedSlot]);
}
