#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "job_harness.h"
#include "platform/clock.h"

using platform_test::ScratchFolder;
using testsupport::FtpServer;
using testsupport::ServerKind;

namespace jobtest {
namespace {

// The same text is never shown twice in a row, however often workers fail with it.
void ExpectNoNoticeRepeatedInARow(const std::vector<std::string>& notices) {
  for (size_t index = 1; index < notices.size(); ++index) {
    EXPECT_NE(notices[index], notices[index - 1]);
  }
}

TEST(RecoveredFault, ARefusedRestartIsRetriedByAReplacementAndShownOnce) {
  constexpr int64_t kSize = 2 * SEGMENT_SIZE + 500;
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, kSize, {"refuse-rest-once"}));
  ScratchFolder folder;
  JobHarness harness(server.port(), FolderOf(folder));
  ASSERT_TRUE(harness.Start());
  ASSERT_TRUE(harness.RunToEnd());

  ASSERT_TRUE(harness.view.messages.empty()) << harness.view.messages.front();
  EXPECT_EQ(harness.view.Notices(),
            std::vector<std::string>{std::string("Cant not file position of FTP Server") +
                                     kNoticeSuffix});
  EXPECT_TRUE(ReadBytes(harness.job.FinalPath()) == server.ReadServedFile(kServedPath, 0, kSize));
}

struct PassingFaultCase {
  const char* fault;
  int64_t size;
  int32_t segmentsPerPass;
};

void PrintTo(const PassingFaultCase& fault, std::ostream* out) {
  *out << fault.fault;
}

class PassingFault : public ::testing::TestWithParam<PassingFaultCase> {};

// A transfer that breaks once is fetched again from its segment's start by a replacement, the
// notice is shown once, and the file ends byte-exact.
TEST_P(PassingFault, IsRecoveredByAReplacementAndShownOnce) {
  const int64_t size = GetParam().size;
  FtpServer server(
      InstallerServer(ServerKind::Pyftpdlib, size, {GetParam().fault, "data-faults-once"}));
  ScratchFolder folder;
  JobHarness harness(server.port(), FolderOf(folder),
                     JobOptions{30, "", GetParam().segmentsPerPass});
  ASSERT_TRUE(harness.Start());
  ASSERT_TRUE(harness.RunToEnd());

  ASSERT_TRUE(harness.view.messages.empty()) << harness.view.messages.front();
  ASSERT_EQ(harness.view.Notices().size(), 1u);
  EXPECT_NE(harness.view.Notices().front().find(kNoticeSuffix), std::string::npos);
  EXPECT_TRUE(ReadBytes(harness.job.FinalPath()) == server.ReadServedFile(kServedPath, 0, size));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, PassingFault,
    ::testing::Values(
        // The first segment's data connection breaks after 500,000 bytes.
        PassingFaultCase{"drop-data-after=500000", 3 * SEGMENT_SIZE + 5000, 1},
        // Large enough for full segments at the fastest pace, which shares out only the end.
        PassingFaultCase{"drop-data-after=500000", 30 * SEGMENT_SIZE + 5000, 15},
        // Short data only shows at the end of the file: one segment, which is the tail.
        PassingFaultCase{"short-data=100", SEGMENT_SIZE - 1000, 1}),
    [](const auto& param) {
      return std::string(param.index == 2 ? "ShortData" : "DroppedData") + "_" +
             std::to_string(param.param.segmentsPerPass) + "PerPass";
    });

class HostileReply : public ::testing::TestWithParam<const char*> {};

// A reply that never ends (the probe's directory change trickled, or a segment's final reply
// held back behind preliminary replies or blank lines for about 40 s) fails only the worker
// that waits for it, within its time-out; the job goes on and ends byte-exact.
TEST_P(HostileReply, FailsItsWorkerWithinItsTimeOutAndTheJobRecovers) {
  constexpr int64_t kSize = 3 * SEGMENT_SIZE + 5000;
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, kSize, {GetParam()}));
  ScratchFolder folder;
  // Probes then wait 4 s for a reply, segment workers 6 s.
  JobHarness harness(server.port(), FolderOf(folder), JobOptions{2, "", 1});
  const uint32_t started = platform::TickCount();
  ASSERT_TRUE(harness.Start());
  ASSERT_TRUE(harness.RunToEnd());

  ASSERT_TRUE(harness.view.messages.empty()) << harness.view.messages.front();
  EXPECT_TRUE(ReadBytes(harness.job.FinalPath()) == server.ReadServedFile(kServedPath, 0, kSize));
  EXPECT_LT(platform::TickCount() - started, 35000u) << "the hostile reply was waited out";
}

INSTANTIATE_TEST_SUITE_P(Faults, HostileReply,
                         ::testing::Values("trickle-reply=CWD", "endless-preliminary",
                                           "endless-blank-lines"),
                         [](const auto& param) {
                           switch (param.index) {
                             case 0:
                               return "TrickledProbeReply";
                             case 1:
                               return "EndlessPreliminaryReplies";
                             default:
                               return "EndlessBlankLines";
                           }
                         });

struct LimitCase {
  ServerKind kind;
  int32_t segmentsPerPass;
};

class ConnectionLimit : public ::testing::TestWithParam<LimitCase> {};

// Slow segments let the pool outgrow the server's limit: the logins it turns away are no
// failures, their segments wait for the connections of finished workers, and the file ends
// byte-exact without a restart notice.
TEST_P(ConnectionLimit, IsLearntAndTheWholeFileComesOverTheConnectionsAllowed) {
  constexpr int64_t kSize = 6 * SEGMENT_SIZE + 100;
  testsupport::ServerOptions options = InstallerServer(GetParam().kind, kSize, {}, 1500000);
  options.maxConnectionsPerAddress = 3;
  FtpServer server(options);
  ScratchFolder folder;
  JobHarness harness(server.port(), FolderOf(folder),
                     JobOptions{30, "", GetParam().segmentsPerPass});
  ASSERT_TRUE(harness.Start());
  ASSERT_TRUE(harness.RunToEnd());

  ASSERT_TRUE(harness.view.messages.empty()) << harness.view.messages.front();
  EXPECT_TRUE(harness.view.Notices().empty()) << harness.view.Notices().front();
  EXPECT_GT(harness.job.m_connectionLimit.Known(), 0) << "the limit was never reached";
  EXPECT_LE(harness.job.m_connectionLimit.Known(), 3);
  EXPECT_TRUE(ReadBytes(harness.job.FinalPath()) == server.ReadServedFile(kServedPath, 0, kSize));
}

INSTANTIATE_TEST_SUITE_P(
    Servers, ConnectionLimit,
    ::testing::Values(LimitCase{ServerKind::Pyftpdlib, 1}, LimitCase{ServerKind::Pyftpdlib, 15},
                      LimitCase{ServerKind::Vsftpd, 15}),
    [](const auto& param) {
      return std::string(param.param.kind == ServerKind::Vsftpd ? "vsftpd" : "pyftpdlib") + "_" +
             std::to_string(param.param.segmentsPerPass) + "PerPass";
    });

struct PermanentFault {
  const char* fault;
  int64_t writablePrefix;  // what can reach the part file before the failing segment
};

void PrintTo(const PermanentFault& fault, std::ostream* out) {
  *out << fault.fault;
}

class LastingFault : public ::testing::TestWithParam<PermanentFault> {};

// Every retry of the failing segment fails alike: it is replaced again and again, the notice is
// shown once, nothing beyond the gap is written and the progress does not count lost bytes.
TEST_P(LastingFault, IsRetriedWithoutEndAndNeverCorruptsThePartFile) {
  constexpr int64_t kSize = 3 * SEGMENT_SIZE + 5000;
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, kSize, {GetParam().fault}));
  ScratchFolder folder;
  auto harness = std::make_unique<JobHarness>(server.port(), FolderOf(folder));
  const std::string partPath = harness->job.PartPath();
  ASSERT_TRUE(harness->Start());
  ASSERT_TRUE(harness->PumpUntil([&] {
    harness->Pump(50);
    harness->Tick(TIMER_SCHEDULER);
    return CountCommands(server, "RETR /manual/vm/Clients//Setup_Vellomarch_1.11.exe") >= 10;
  }));
  ASSERT_TRUE(harness->PumpUntil([&] { return harness->AllListedWorkersFinished(); }));
  harness->Tick(TIMER_SCHEDULER);

  EXPECT_FALSE(harness->view.Completed());
  EXPECT_TRUE(harness->view.messages.empty());
  EXPECT_FALSE(harness->view.Notices().empty());
  ExpectNoNoticeRepeatedInARow(harness->view.Notices());
  EXPECT_EQ(harness->job.m_nWritten, GetParam().writablePrefix);
  EXPECT_LE(harness->job.m_nReceived, kSize);
  harness.reset();  // closes the part file
  EXPECT_TRUE(ReadBytes(partPath) ==
              server.ReadServedFile(kServedPath, 0, GetParam().writablePrefix));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, LastingFault,
    ::testing::Values(
        // The tail always arrives 100 bytes short.
        PermanentFault{"short-data=100", 3 * SEGMENT_SIZE},
        // Every transfer of more than 1,000,000 bytes breaks: all but the tail, which waits.
        PermanentFault{"drop-data-after=1000000", 0}),
    [](const auto& param) { return param.index == 0 ? "ShortData" : "DroppedData"; });

TEST(RecoveredFault, AFinishedWorkerWaitingForItsTurnLendsItsConnectionToARefusedSegment) {
  constexpr int64_t kSize = 4 * SEGMENT_SIZE + 100;
  testsupport::ServerOptions options = InstallerServer(ServerKind::Pyftpdlib, kSize);
  options.maxConnectionsPerAddress = 2;
  FtpServer server(options);
  ScratchFolder folder;
  JobHarness harness(server.port(), FolderOf(folder));
  ASSERT_TRUE(harness.Start());
  // Segment 0 keeps its connection and does not finish; segment 1 finishes and waits with the
  // only other connection the server allows, so segment 2 is refused.
  CDownloadThread* first = harness.job.m_workers.front();
  first->SuspendWorker();
  harness.Tick(TIMER_SCHEDULER);
  CDownloadThread* second = harness.job.m_workers.back();
  ASSERT_TRUE(harness.PumpUntil([&] { return second->m_bComplete.load() != 0; }));

  // Segment 2, turned away, runs on segment 1's connection while segment 0 is still held.
  ASSERT_TRUE(harness.PumpUntil([&] {
    harness.Pump(50);
    harness.Tick(TIMER_SCHEDULER);
    const auto segment2 =
        std::find_if(harness.job.m_workers.begin(), harness.job.m_workers.end(),
                     [](const CDownloadThread* worker) { return worker->m_nIndex == 2; });
    return segment2 != harness.job.m_workers.end() && (*segment2)->m_bComplete.load() != 0;
  }));
  EXPECT_TRUE(harness.view.Notices().empty()) << "a refusal for the limit is no failure";
  EXPECT_EQ(second->m_pConnection, nullptr) << "lent, while its segment waits in its buffer";
  EXPECT_EQ(harness.job.m_nWritten, 0);

  first->ResumeWorker();
  ASSERT_TRUE(harness.RunToEnd());
  ASSERT_TRUE(harness.view.messages.empty()) << harness.view.messages.front();
  EXPECT_TRUE(ReadBytes(harness.job.FinalPath()) == server.ReadServedFile(kServedPath, 0, kSize));
}

}  // namespace
}  // namespace jobtest
