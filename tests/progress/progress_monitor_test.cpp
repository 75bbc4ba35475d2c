#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "progress/progress_monitor.h"
#include "recording_view.h"

namespace {

using progresstest::RecordingView;

constexpr int64_t kExampleFileSize = 9999999;

ProgressCounters Running(int64_t fileSize, int64_t received, int64_t receivedForSpeed,
                         const std::string& totalKBText = "9,765") {
  ProgressCounters counters;
  counters.fileSize = fileSize;
  counters.received = received;
  counters.receivedForSpeed = receivedForSpeed;
  counters.totalKBText = totalKBText;
  counters.running = true;
  return counters;
}

TEST(ProgressMonitorTest, OneTickShowsProgressSpeedAndTimeEverywhere) {
  CProgressMonitor monitor;
  RecordingView view;
  monitor.UpdateProgressDisplay(Running(kExampleFileSize, 1234567, 1536777), view);

  const std::vector<std::string> expected = {
      "progress: 12",
      "tooltip: Downloading Vellomarch (12% complete)",
      "time: 57 seconds remaining",
      "status: 1,205 KB out of 9,765 KB (12%) at 150 KBps",
  };
  EXPECT_EQ(expected, view.calls);
  EXPECT_EQ(12, monitor.m_nPercent);
  EXPECT_EQ(150, monitor.m_nSpeedKBps);
  EXPECT_EQ(57, monitor.m_nRemainingSec);
  EXPECT_EQ(1536777, monitor.m_nSpeedWindowSum);
}

TEST(ProgressMonitorTest, SpeedNeverShowsBelowOneKBps) {
  CProgressMonitor monitor;
  RecordingView view;
  monitor.UpdateProgressDisplay(Running(kExampleFileSize, 10239, 10239), view);
  EXPECT_EQ(1, monitor.m_nSpeedKBps);
  EXPECT_EQ("status: 9 KB out of 9,765 KB (0%) at 1 KBps", view.calls.back());

  // With no bytes at all in the window, the time left is the missing KB at 1 KBps.
  for (int tick = 0; tick < 6; ++tick) {
    monitor.UpdateProgressDisplay(Running(kExampleFileSize, 10239, 10239), view);
  }
  EXPECT_EQ(0, monitor.m_nSpeedWindowSum);
  EXPECT_EQ(1, monitor.m_nSpeedKBps);
  EXPECT_EQ((kExampleFileSize - 10239) / 1024, monitor.m_nRemainingSec);
  EXPECT_EQ("2 hours 42 minutes 35 seconds remaining", view.Last("time"));
}

TEST(ProgressMonitorTest, SteadyRateShowsAFifthFirstAndTheTrueRateFromTheFifthTick) {
  // 1,000 KB per second, 2 seconds per tick.
  constexpr int64_t kBytesPerTick = 2 * 1000 * 1024;
  CProgressMonitor monitor;
  RecordingView view;
  std::vector<int32_t> speeds;
  for (int64_t tick = 1; tick <= 9; ++tick) {
    monitor.UpdateProgressDisplay(
        Running(int64_t{1} << 32, tick * kBytesPerTick, tick * kBytesPerTick), view);
    speeds.push_back(monitor.m_nSpeedKBps);
  }
  EXPECT_EQ((std::vector<int32_t>{200, 400, 600, 800, 1000, 1000, 1000, 1000, 1000}), speeds);
}

TEST(ProgressMonitorTest, ABurstLeavesTheWindowAfterFiveTicks) {
  CProgressMonitor monitor;
  RecordingView view;
  const int64_t burst = 5 * 1024 * 1024;
  std::vector<int32_t> speeds;
  for (int tick = 0; tick < 7; ++tick) {
    monitor.UpdateProgressDisplay(Running(int64_t{1} << 32, burst, burst), view);
    speeds.push_back(monitor.m_nSpeedKBps);
  }
  EXPECT_EQ((std::vector<int32_t>{512, 512, 512, 512, 512, 1, 1}), speeds);
}

TEST(ProgressMonitorTest, SpeedFollowsBytesReceivedNotTheProgressThatFellBack) {
  CProgressMonitor monitor;
  RecordingView view;
  monitor.UpdateProgressDisplay(Running(kExampleFileSize, 3000000, 3000000), view);
  // A failed worker's bytes leave the progress figure but not the speed count.
  monitor.UpdateProgressDisplay(Running(kExampleFileSize, 1500000, 4024000), view);
  EXPECT_EQ(15, monitor.m_nPercent);
  EXPECT_EQ(3000000 + 1024000, monitor.m_nSpeedWindowSum);
  EXPECT_EQ(392, monitor.m_nSpeedKBps);
  EXPECT_EQ("1,464 KB out of 9,765 KB (15%) at 392 KBps", view.Last("status"));
}

TEST(ProgressMonitorTest, PausedTicksWriteNothingAndTheNextSampleCoversThePause) {
  CProgressMonitor monitor;
  RecordingView view;
  monitor.UpdateProgressDisplay(Running(kExampleFileSize, 102400, 102400), view);
  const CProgressMonitor before = monitor;
  view.calls.clear();

  ProgressCounters paused = Running(kExampleFileSize, 2048000, 2048000);
  paused.running = false;
  for (int tick = 0; tick < 8; ++tick) {
    monitor.UpdateProgressDisplay(paused, view);
  }
  EXPECT_TRUE(view.calls.empty());
  EXPECT_EQ(before.m_nSpeedWindowSum, monitor.m_nSpeedWindowSum);
  EXPECT_EQ(before.m_nSpeedSlot, monitor.m_nSpeedSlot);
  EXPECT_EQ(before.m_nLastSpeedSample, monitor.m_nLastSpeedSample);
  EXPECT_EQ(before.m_nPercent, monitor.m_nPercent);

  monitor.UpdateProgressDisplay(Running(kExampleFileSize, 2048000, 2048000), view);
  EXPECT_EQ(2048000, monitor.m_nSpeedWindowSum);
  EXPECT_EQ(4u, view.calls.size());
}

TEST(ProgressMonitorTest, FilesBeyondFourGiBKeepTheirFigures) {
  constexpr int64_t kGiB = int64_t{1} << 30;
  CProgressMonitor monitor;
  RecordingView view;
  monitor.UpdateProgressDisplay(Running(6 * kGiB, 5 * kGiB, 1024000, "6,291,456"), view);
  EXPECT_EQ(83, monitor.m_nPercent);
  EXPECT_EQ(kGiB / (100 * 1024), monitor.m_nRemainingSec);
  EXPECT_EQ("5,242,880 KB out of 6,291,456 KB (83%) at 100 KBps", view.Last("status"));
}

TEST(ProgressMonitorTest, FilesUnderAHundredBytesGetAnExactPercent) {
  struct Case {
    int64_t fileSize;
    int64_t received;
    int percent;
  };
  for (const Case& c : {Case{50, 0, 0}, Case{50, 25, 50}, Case{99, 98, 98}, Case{99, 99, 100},
                        Case{1, 1, 100}, Case{0, 0, 100}}) {
    CProgressMonitor monitor;
    RecordingView view;
    monitor.UpdateProgressDisplay(Running(c.fileSize, c.received, c.received, "0"), view);
    EXPECT_EQ(c.percent, monitor.m_nPercent) << c.fileSize << " " << c.received;
    EXPECT_EQ("progress: " + std::to_string(c.percent), view.calls.front());
  }
}

}  // namespace
