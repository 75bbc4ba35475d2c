#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "job_harness.h"

using platform_test::ScratchFolder;
using testsupport::FtpServer;
using testsupport::ServerKind;

namespace jobtest {
namespace {

constexpr int32_t kCap = 15;

void ExpectWithinCaps(const CDownloadJob& job) {
  int active = 0;
  for (const CDownloadThread* worker : job.m_workers) {
    active += worker->m_bComplete.load() == 0 ? 1 : 0;
  }
  EXPECT_LE(active, kCap);
  EXPECT_LE(job.m_nLastAssigned - job.m_nLastWritten, kCap);
}

TEST(Caps, NoMoreThanFifteenSegmentsAreUnderWayAtOnce) {
  // Slow enough that no segment finishes while the ticks run; long enough that the fastest pace
  // does not yet share out the end.
  testsupport::ServerOptions options =
      InstallerServer(ServerKind::Vsftpd, 40 * SEGMENT_SIZE, {}, 20000);
  options.files[0].sparse = true;
  FtpServer server(options);
  // One segment a pass fills the pool tick by tick; a pass that may start eight, or fifteen,
  // reaches the caps in a tick or two and goes no further. No pass logs in more than eight.
  for (const int32_t segmentsPerPass : {1, 8, 15}) {
    SCOPED_TRACE(segmentsPerPass);
    ScratchFolder folder;
    JobHarness harness(server.port(), FolderOf(folder), JobOptions{30, "", segmentsPerPass});
    ASSERT_TRUE(harness.Start());
    const int32_t firstPass = std::min(segmentsPerPass, 8);
    EXPECT_EQ(harness.job.m_workers.size(), static_cast<size_t>(firstPass));
    harness.Tick(TIMER_SCHEDULER);
    EXPECT_EQ(harness.job.m_workers.size(), static_cast<size_t>(std::min(kCap, 2 * firstPass)));

    for (int tick = 0; tick < 25; ++tick) {
      harness.Tick(TIMER_SCHEDULER);
      ExpectWithinCaps(harness.job);
    }
    EXPECT_EQ(harness.job.m_workers.size(), static_cast<size_t>(kCap));
    EXPECT_EQ(harness.job.m_nLastAssigned, kCap - 1);
    EXPECT_EQ(harness.job.m_nNextOffset, int64_t{kCap} * SEGMENT_SIZE);
    EXPECT_EQ(harness.job.m_nWritten, 0);
  }
}

TEST(Caps, AFailedWorkerCountsTwiceTowardTheActiveCap) {
  // Segment 0 (no restart command) is slow; every later one is refused at once, each time.
  FtpServer server(
      InstallerServer(ServerKind::Pyftpdlib, 20 * SEGMENT_SIZE, {"refuse-rest"}, 20000));
  ScratchFolder folder;
  JobHarness harness(server.port(), FolderOf(folder));
  ASSERT_TRUE(harness.Start());
  CDownloadThread* first = harness.job.m_workers.front();

  for (int tick = 0; tick < 12; ++tick) {
    ASSERT_TRUE(harness.PumpUntil([&] {
      for (const CDownloadThread* worker : harness.job.m_workers) {
        if (worker != first && worker->m_bError.load() == 0) {
          return false;
        }
      }
      return true;
    }));
    harness.Tick(TIMER_SCHEDULER);
  }
  // With k failed workers a pass counts 1 + 2k: six (13) still let segment 7 in, seven (15) not.
  EXPECT_EQ(harness.job.m_nLastAssigned, 7);
  EXPECT_EQ(harness.view.Notices(),
            std::vector<std::string>{std::string("Cant not file position of FTP Server") +
                                     kNoticeSuffix});
}

// A server that lets in two connections from us: what it turned away is not tried again for a
// while, then one more login is, and none of it is shown as a failure.
TEST(ConnectionLimit, HoldsWhatTheServerAllowsForAWhileThenTriesOneMore) {
  testsupport::ServerOptions options =
      InstallerServer(ServerKind::Pyftpdlib, 12 * SEGMENT_SIZE, {}, 20000);
  options.maxConnectionsPerAddress = 2;
  FtpServer server(options);
  ScratchFolder folder;
  JobHarness harness(server.port(), FolderOf(folder), JobOptions{30, "", 15});
  uint32_t now = 0xFFFF0000u;  // the back-off must hold across the tick count's wrap
  harness.job.m_connectionLimit = ConnectionLimit([&] { return now; });
  const auto loginsSettled = [&] {
    return harness.PumpUntil([&] {
      return std::all_of(harness.job.m_workers.begin(), harness.job.m_workers.end(),
                         [](const CDownloadThread* worker) {
                           return worker->m_bConnected.load() != 0 || worker->m_bError.load() != 0;
                         });
    });
  };
  ASSERT_TRUE(harness.Start());
  ASSERT_TRUE(loginsSettled());
  harness.Tick(TIMER_SCHEDULER);
  // The size probe's connection may still have held a place while the first logins came.
  const int32_t learnt = harness.job.m_connectionLimit.Known();
  EXPECT_GE(learnt, 1);
  EXPECT_LE(learnt, 2);
  EXPECT_EQ(harness.job.m_workers.size(), static_cast<size_t>(learnt));
  EXPECT_EQ(harness.job.m_nLastAssigned, 7) << "the refused segments keep their places";

  const int connections = server.ConnectionCount();
  for (int tick = 0; tick < 5; ++tick) {
    now += 5000;
    harness.Pump(20);
    harness.Tick(TIMER_SCHEDULER);
  }
  EXPECT_EQ(server.ConnectionCount(), connections) << "no login while the limit holds";

  now += 5001;  // 30 s since the limit was learnt
  harness.Tick(TIMER_SCHEDULER);
  ASSERT_TRUE(loginsSettled());
  harness.Tick(TIMER_SCHEDULER);
  EXPECT_EQ(server.ConnectionCount(), connections + 1) << "one more, once";
  EXPECT_EQ(harness.job.m_connectionLimit.Known(), learnt);
  EXPECT_TRUE(harness.view.Notices().empty()) << harness.view.Notices().front();
  EXPECT_EQ(harness.job.m_nLastAssigned, 7);
}

// A finished worker of segment `index`, listed at the tail, its segment written or not, holding
// a logged-in connection to the port when one is given.
CDownloadThread* ListFinishedWorker(CDownloadJob& job, int32_t index, bool written, uint16_t port) {
  CDownloadThread* worker = CDownloadThread::CreateObject();
  job.m_workers.push_back(worker);
  worker->m_nIndex = index;
  worker->m_bComplete.store(1);
  worker->m_bWritten = written ? 1 : 0;
  if (port != 0) {
    worker->m_pSession = new net::CInternetSession;
    worker->m_pConnection = worker->m_pSession->GetFtpConnection("127.0.0.1", "", "", port, true);
  }
  return worker;
}

TEST(Donor, AWrittenWorkerThatStillHoldsItsConnectionIsTakenFirst) {
  constexpr int64_t kSize = 4 * SEGMENT_SIZE;
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, kSize));
  ScratchFolder folder;
  JobHarness harness(server.port(), FolderOf(folder));
  CDownloadJob& job = harness.job;
  // Segments 0 and 1 are written; 0 lent its connection to a replacement, 1 still holds its own.
  ListFinishedWorker(job, 0, true, 0);
  net::CFtpConnection* held = ListFinishedWorker(job, 1, true, server.port())->m_pConnection;
  job.m_nFileSize = kSize;
  job.m_nLastAssigned = job.m_nLastWritten = job.m_nLastAppended = 1;
  job.m_nNextOffset = job.m_nWritten = job.m_nReceived = 2 * SEGMENT_SIZE;

  job.m_schedGuard = true;
  job.ScheduleSegments();
  ASSERT_EQ(job.m_workers.back()->m_nIndex, 2);
  EXPECT_EQ(job.m_workers.back()->m_pConnection, held) << "segment 2 needs no login of its own";
  EXPECT_EQ(job.m_workers.front()->m_nIndex, 0) << "the worker without a connection stays";
}

TEST(Donor, AtTheServersLimitANewSegmentBorrowsTheConnectionOfOneWaitingForItsTurn) {
  constexpr int64_t kSize = 4 * SEGMENT_SIZE;
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, kSize));
  ScratchFolder folder;
  JobHarness harness(server.port(), FolderOf(folder));
  CDownloadJob& job = harness.job;
  // Segment 1 is complete and waits for segment 0 with the one connection the server allows.
  CDownloadThread* waiting = ListFinishedWorker(job, 1, false, server.port());
  net::CFtpConnection* held = waiting->m_pConnection;
  job.m_connectionLimit.Learn(1);
  job.m_nFileSize = kSize;
  job.m_nLastAssigned = 1;
  job.m_nNextOffset = job.m_nReceived = 2 * SEGMENT_SIZE;

  job.m_schedGuard = true;
  job.ScheduleSegments();
  ASSERT_EQ(job.m_workers.size(), 2u);
  EXPECT_EQ(job.m_workers.back()->m_nIndex, 2);
  EXPECT_EQ(job.m_workers.back()->m_pConnection, held) << "no login beyond the server's limit";
  EXPECT_EQ(job.m_workers.front(), waiting) << "it keeps its segment and its place";
}

TEST(Caps, FinishedSegmentsWaitForAnEarlierOneAndTheLookAheadStopsAtFifteen) {
  constexpr int64_t kSize = 17 * SEGMENT_SIZE + 1000;
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, kSize));
  ScratchFolder folder;
  JobHarness harness(server.port(), FolderOf(folder));
  ASSERT_TRUE(harness.Start());
  // Segment 0 is held, so every later segment finishes before it.
  CDownloadThread* first = harness.job.m_workers.front();
  first->SuspendWorker();

  for (int tick = 0; tick < 20; ++tick) {
    harness.Tick(TIMER_SCHEDULER);
    ExpectWithinCaps(harness.job);
  }
  EXPECT_EQ(harness.job.m_nLastAssigned, kCap - 1);
  ASSERT_TRUE(harness.PumpUntil([&] {
    int finished = 0;
    for (const CDownloadThread* worker : harness.job.m_workers) {
      finished += worker->m_bComplete.load();
    }
    return finished == kCap - 1;
  }));
  harness.Tick(TIMER_SCHEDULER);
  EXPECT_EQ(harness.job.m_nLastAssigned, kCap - 1) << "the look-ahead cap holds back segment 15";
  EXPECT_EQ(harness.job.m_nWritten, 0) << "nothing is written past the missing segment 0";
  EXPECT_EQ(harness.job.m_nLastWritten, -1);

  first->ResumeWorker();
  ASSERT_TRUE(harness.PumpUntil([&] { return first->m_bComplete.load() != 0; }));
  harness.Tick(TIMER_SCHEDULER);
  // All fifteen in one pass, in order: the others lie behind segment 0 in the list.
  EXPECT_EQ(harness.job.m_nLastAppended, kCap - 1);
  ASSERT_TRUE(harness.PumpUntil([&] { return harness.job.m_nLastWritten == kCap - 1; }));
  EXPECT_EQ(harness.job.m_nWritten, int64_t{kCap} * SEGMENT_SIZE);
  EXPECT_EQ(harness.job.m_nLastAssigned, kCap - 1) << "their buffers count until on the disk";
  harness.Tick(TIMER_SCHEDULER);
  EXPECT_EQ(harness.job.m_nLastAssigned, kCap) << "then the next segment is launched";

  ASSERT_TRUE(harness.RunToEnd());
  ASSERT_TRUE(harness.view.messages.empty()) << harness.view.messages.front();
  EXPECT_TRUE(ReadBytes(harness.job.FinalPath()) == server.ReadServedFile(kServedPath, 0, kSize));
}

TEST(Pause, HoldsEveryWorkerAndResumeFinishesTheFile) {
  constexpr int64_t kSize = 4 * SEGMENT_SIZE + 2222;
  FtpServer server(InstallerServer(ServerKind::Vsftpd, kSize, {}, 400000));
  // The fastest pace also holds the passes its finished segments would start.
  for (const int32_t segmentsPerPass : {1, 15}) {
    SCOPED_TRACE(segmentsPerPass);
    ScratchFolder folder;
    JobHarness harness(server.port(), FolderOf(folder), JobOptions{30, "", segmentsPerPass});
    ASSERT_TRUE(harness.Start());
    for (int tick = 0; tick < 3; ++tick) {
      harness.Tick(TIMER_SCHEDULER);
    }
    ASSERT_TRUE(harness.PumpUntil([&] { return harness.job.m_nReceivedForSpeed > 100000; }));

    ASSERT_TRUE(harness.job.PauseAll());
    EXPECT_EQ(harness.job.m_bRunning, 0);
    const int64_t assignedAtPause = harness.job.m_nLastAssigned;
    const size_t shownAtPause = harness.view.statusTexts.size();
    // Reads already under way when the pause came may still land, and their reports may still
    // be queued; after that nothing arrives.
    harness.Pump(1000);
    const int64_t settled = harness.job.m_nReceivedForSpeed;
    harness.Pump(1500);
    harness.Tick(TIMER_SCHEDULER);
    harness.Tick(TIMER_DISPLAY);
    EXPECT_EQ(harness.job.m_nReceivedForSpeed, settled);
    EXPECT_EQ(harness.job.m_nLastAssigned, assignedAtPause) << "no pass while paused";
    EXPECT_EQ(harness.view.statusTexts.size(), shownAtPause) << "no display while paused";

    ASSERT_TRUE(harness.job.ResumeAll());
    EXPECT_EQ(harness.job.m_bRunning, 1);
    ASSERT_TRUE(harness.RunToEnd());
    ASSERT_TRUE(harness.view.messages.empty()) << harness.view.messages.front();
    EXPECT_TRUE(ReadBytes(harness.job.FinalPath()) == server.ReadServedFile(kServedPath, 0, kSize));
    // What the taskbar and the power settings follow.
    using A = DownloadActivity;
    EXPECT_EQ(harness.view.activities, (std::vector<A>{A::Preparing, A::Transferring, A::Paused,
                                                       A::Transferring, A::Completed}));
  }
}

}  // namespace
}  // namespace jobtest
