#include <gtest/gtest.h>

#include <string>

#include "platform/clock.h"
#include "platform/test_support.h"
#include "support/loopback_socket.h"
#include "worker_harness.h"

using testsupport::FtpServer;
using testsupport::ServerKind;

namespace enginetest {
namespace {

constexpr int64_t kFileSize = 3 * SEGMENT_SIZE;

// Moves a finished worker's connection to a new one, as the scheduler does with a donor.
void TakeOver(CDownloadThread& donor, CDownloadThread& taker) {
  taker.m_pSession = donor.m_pSession;
  taker.m_pConnection = donor.m_pConnection;
  donor.m_pSession = nullptr;
  donor.m_pConnection = nullptr;
}

TEST(TakeOver, ASecondSegmentReusesTheLoggedInConnection) {
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, kFileSize));
  WorkerHarness harness;
  auto first = harness.MakeWorker(server.port(), 0, 0, SEGMENT_SIZE);
  ASSERT_TRUE(first);
  ASSERT_TRUE(harness.Run(*first));
  ASSERT_EQ(first->m_bComplete.load(), 1) << first->GetStatus();
  first->CloseConnection();  // a complete worker keeps its connection for the next segment
  ASSERT_NE(first->m_pConnection, nullptr);

  auto second = harness.MakeWorker(server.port(), 1, SEGMENT_SIZE, SEGMENT_SIZE);
  ASSERT_TRUE(second);
  TakeOver(*first, *second);
  first.reset();
  ASSERT_TRUE(harness.Run(*second));
  EXPECT_EQ(second->m_bComplete.load(), 1) << second->GetStatus();
  EXPECT_TRUE(SegmentBytes(*second) ==
              server.ReadServedFile(kServedPath, SEGMENT_SIZE, SEGMENT_SIZE));
  EXPECT_EQ(server.ConnectionCount(), 1) << "no second login";
}

TEST(TakeOver, AConnectionTheServerClosedMeanwhileFailsCleanly) {
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, kFileSize, {"idle-timeout=1"}));
  WorkerHarness harness;
  auto first = harness.MakeWorker(server.port(), 0, 0, 100000);
  ASSERT_TRUE(first);
  ASSERT_TRUE(harness.Run(*first));
  ASSERT_EQ(first->m_bComplete.load(), 1) << first->GetStatus();

  platform::SleepMs(3000);  // the server drops the idle control connection
  auto second = harness.MakeWorker(server.port(), 1, 100000, 100000);
  ASSERT_TRUE(second);
  TakeOver(*first, *second);
  ASSERT_TRUE(harness.Run(*second));
  EXPECT_EQ(second->m_bError.load(), 1);
  EXPECT_EQ(second->m_bComplete.load(), 0);
  EXPECT_FALSE(second->GetStatus().empty());
}

TEST(Stop, DuringABlockingReadEndsWithCancel) {
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, kFileSize, {"stall-after=8192"}));
  WorkerHarness harness;
  auto worker = harness.MakeWorker(server.port(), 0, 0, SEGMENT_SIZE);
  ASSERT_TRUE(worker);
  worker->ResumeWorker();
  ASSERT_TRUE(platform_test::PumpUntil([&] { return harness.ByteCounts().size() >= 2; }));

  // The worker now waits for data that never comes; its receive time-out is 90 s.
  const uint32_t stopped = platform::TickCount();
  worker->StopWorker();
  worker->SuspendWorker();  // a pause queued behind the stop must not hold the worker
  ASSERT_TRUE(platform::WaitWithPump(worker->m_hFinished, 30000)) << "the stop unblocks the read";
  EXPECT_LT(platform::TickCount() - stopped, 30000u);
  EXPECT_EQ(worker->GetStatus(), "Cancel");
  EXPECT_EQ(worker->m_bError.load(), 0);
  EXPECT_EQ(worker->m_bComplete.load(), 0);
}

// Waits, on its own thread, at the moment after it looked for a stop and before its session
// exists, until the test lets it go on.
class WorkerHeldBeforeItsSession : public CDownloadThread {
 public:
  platform::Event reachedTheGap;
  platform::Event mayGoOn;

 protected:
  net::CInternetSession* CreateSession() override {
    reachedTheGap.Set();
    mayGoOn.Wait(platform::kInfinite);
    return CDownloadThread::CreateSession();
  }
};

TEST(Stop, ThatComesBeforeTheSessionExistsIsNotLost) {
  // Takes connections and never greets: only a stop ends the login before its 90-s time-out.
  testsupport::LoopbackListener silentServer;
  WorkerHarness harness;
  WorkerHeldBeforeItsSession worker;
  ASSERT_TRUE(harness.Prepare(worker, silentServer.port(), 0, 0, SEGMENT_SIZE));
  worker.ResumeWorker();
  ASSERT_TRUE(worker.reachedTheGap.Wait(30000));

  worker.StopWorker();  // nothing to close yet
  worker.mayGoOn.Set();
  const uint32_t stopped = platform::TickCount();
  ASSERT_TRUE(platform::WaitWithPump(worker.m_hFinished, 30000)) << "login ran on after the stop";
  EXPECT_LT(platform::TickCount() - stopped, 30000u);
  EXPECT_EQ(worker.GetStatus(), "Cancel");
  EXPECT_EQ(worker.m_bError.load(), 0);
}

TEST(Stop, BeforeTheThreadRunsCancelsAndReportsAtOnce) {
  WorkerHarness harness;
  auto worker = harness.MakeWorker(1, 4, 6 * SEGMENT_SIZE, SEGMENT_SIZE);
  ASSERT_TRUE(worker);
  worker->m_hStop.Set();
  ASSERT_TRUE(harness.Run(*worker, 30000));
  EXPECT_EQ(worker->GetStatus(), "Cancel");
  EXPECT_EQ(worker->m_bError.load(), 0);
  const auto done = harness.MessagesOf(WM_WORKER_DONE);
  ASSERT_EQ(done.size(), 1u) << "whatever the index";
  EXPECT_EQ(done[0].worker, worker.get());
}

TEST(Stop, StopWorkerStartsAHeldWorkerSoItCanEnd) {
  WorkerHarness harness;
  auto worker = harness.MakeWorker(1, 2, 0, SEGMENT_SIZE);
  ASSERT_TRUE(worker);
  worker->StopWorker();
  ASSERT_TRUE(platform::WaitWithPump(worker->m_hFinished, 30000));
  platform::PumpMessages();
  EXPECT_EQ(worker->GetStatus(), "Cancel");
  EXPECT_EQ(harness.MessagesOf(WM_WORKER_DONE).size(), 1u);
  worker->StopWorker();  // a second stop changes nothing
  EXPECT_EQ(worker->m_nRunState.load(), 0);
}

TEST(RunState, FollowsResumeSuspendAndTheThreadsEnd) {
  WorkerHarness harness;
  auto worker = harness.MakeWorker(1, 0, 0, SEGMENT_SIZE);
  ASSERT_TRUE(worker);
  EXPECT_EQ(worker->m_nRunState.load(), 2);
  EXPECT_EQ(worker->SuspendWorker(), 2) << "a worker never started is not suspended";
  worker->m_hStop.Set();  // let the thread end at once
  EXPECT_EQ(worker->ResumeWorker(), 1u) << "the previous suspend count of a held thread";
  ASSERT_TRUE(platform::WaitWithPump(worker->m_hFinished, 30000));
  EXPECT_EQ(worker->m_nRunState.load(), 0);
}

TEST(Pause, HoldsTheWorkerBetweenReadsUntilResumed) {
  testsupport::ServerOptions options = InstallerServer(ServerKind::Vsftpd, kFileSize);
  options.maxRatePerConnection = 400000;
  FtpServer server(options);
  WorkerHarness harness;
  auto worker = harness.MakeWorker(server.port(), 0, 0, SEGMENT_SIZE);
  ASSERT_TRUE(worker);
  worker->ResumeWorker();
  ASSERT_TRUE(platform_test::PumpUntil([&] { return harness.ByteCounts().size() >= 4; }));

  EXPECT_EQ(worker->SuspendWorker(), 0);
  // A read already under way may still finish; after that nothing arrives.
  platform_test::PumpFor(1000);
  const size_t held = harness.ByteCounts().size();
  platform_test::PumpFor(1500);
  EXPECT_EQ(harness.ByteCounts().size(), held);
  EXPECT_FALSE(worker->m_hFinished.IsSet());

  EXPECT_EQ(worker->ResumeWorker(), 1u);
  ASSERT_TRUE(harness.Run(*worker));
  EXPECT_EQ(worker->m_bComplete.load(), 1) << worker->GetStatus();
  EXPECT_TRUE(SegmentBytes(*worker) == server.ReadServedFile(kServedPath, 0, SEGMENT_SIZE));
}

}  // namespace
}  // namespace enginetest
