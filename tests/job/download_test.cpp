#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/part_file.h"
#include "job_harness.h"

using platform_test::ScratchFolder;
using testsupport::FtpServer;
using testsupport::ServerKind;

namespace jobtest {
namespace {

// How the part file was left before the run.
enum class EarlierPartFile { None, Empty };

class FreshDownload : public ::testing::TestWithParam<EarlierPartFile> {};

TEST_P(FreshDownload, SeveralSegmentsAndATailEndByteExactUnderTheFinalName) {
  constexpr int64_t kSize = 3 * SEGMENT_SIZE + 12345;
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, kSize));
  ScratchFolder folder;
  JobHarness harness(server.port(), FolderOf(folder));
  if (GetParam() == EarlierPartFile::Empty) {
    WriteBytes(harness.job.PartPath(), {});
  }

  EXPECT_FALSE(harness.job.PauseAll()) << "nothing to pause while the size is probed";
  EXPECT_EQ(harness.job.m_bRunning, 1);
  ASSERT_TRUE(harness.Start());
  EXPECT_EQ(harness.job.m_strTotalKB, "4,620");
  ASSERT_TRUE(harness.RunToEnd());

  ASSERT_TRUE(harness.view.messages.empty()) << harness.view.messages.front();
  EXPECT_TRUE(ReadBytes(harness.job.FinalPath()) == server.ReadServedFile(kServedPath, 0, kSize));
  EXPECT_FALSE(Exists(harness.job.PartPath()));
  EXPECT_EQ(harness.view.timeTexts.back(), kCompleted);
  EXPECT_EQ(harness.view.statusTexts.back(), kCompleted);
  EXPECT_EQ(harness.view.progress, 100);
  EXPECT_EQ(harness.monitor.m_nPercent, 100);
  EXPECT_EQ(harness.view.tooltip, "Downloading Vellomarch (100% complete)");
  EXPECT_EQ(harness.job.m_nWritten, kSize);
  EXPECT_EQ(harness.job.m_nLastWritten, 3);
  EXPECT_TRUE(harness.job.m_workers.empty());

  // Segment 0 starts at 0 without a restart command; the others where the previous one ended.
  EXPECT_EQ(CountCommands(server, "REST 0"), 0);
  for (int64_t start : {SEGMENT_SIZE, 2 * SEGMENT_SIZE, 3 * SEGMENT_SIZE}) {
    EXPECT_EQ(CountCommands(server, "REST " + std::to_string(start)), 1) << start;
  }

  // Complete for good: the guard stays taken, so neither command nor tick does anything.
  EXPECT_FALSE(harness.job.PauseAll());
  EXPECT_FALSE(harness.job.ResumeAll());
  EXPECT_EQ(harness.job.m_bRunning, 1);
  const size_t texts = harness.view.statusTexts.size();
  harness.Tick(TIMER_SCHEDULER);
  EXPECT_EQ(harness.view.statusTexts.size(), texts);
}

INSTANTIATE_TEST_SUITE_P(PartFile, FreshDownload,
                         ::testing::Values(EarlierPartFile::None, EarlierPartFile::Empty),
                         [](const auto& param) {
                           return param.param == EarlierPartFile::None ? "NoneBefore"
                                                                       : "EmptyBefore";
                         });

TEST(Resume, ContinuesAMillionBytePartFileFromItsLength) {
  constexpr int64_t kSize = 2 * SEGMENT_SIZE + 4321;
  FtpServer server(InstallerServer(ServerKind::Vsftpd, kSize));
  ScratchFolder folder;
  JobHarness harness(server.port(), FolderOf(folder));
  WriteBytes(harness.job.PartPath(), server.ReadServedFile(kServedPath, 0, 1000000));

  ASSERT_TRUE(harness.Start());
  ASSERT_EQ(harness.job.m_workers.size(), 1u);
  EXPECT_EQ(harness.job.m_workers.front()->m_nStart, 1000000);
  EXPECT_EQ(harness.job.m_nNextOffset, 1000000 + SEGMENT_SIZE);
  EXPECT_EQ(harness.job.m_nReceived, 1000000);
  ASSERT_TRUE(harness.RunToEnd());

  ASSERT_TRUE(harness.view.messages.empty()) << harness.view.messages.front();
  EXPECT_TRUE(ReadBytes(harness.job.FinalPath()) == server.ReadServedFile(kServedPath, 0, kSize));
}

TEST(Resume, AWholePartFileCompletesOnTheFirstSchedulerTickWithoutAWorker) {
  constexpr int64_t kSize = SEGMENT_SIZE + 99;
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, kSize));
  ScratchFolder folder;
  JobHarness harness(server.port(), FolderOf(folder));
  const auto whole = server.ReadServedFile(kServedPath, 0, kSize);
  WriteBytes(harness.job.PartPath(), whole);

  ASSERT_TRUE(harness.Start());
  EXPECT_TRUE(harness.job.m_workers.empty());
  EXPECT_EQ(harness.job.m_nLastAssigned, -1);
  // Armed at 100 ms: due long before a 2-second timer could be.
  ASSERT_TRUE(harness.PumpUntil([&] { return harness.timerTicksDue[TIMER_SCHEDULER] > 0; }));
  harness.Tick(TIMER_SCHEDULER);

  EXPECT_TRUE(harness.view.Completed());
  EXPECT_EQ(harness.timerTicksDue[TIMER_DISPLAY], 0);
  EXPECT_TRUE(ReadBytes(harness.job.FinalPath()) == whole);
  EXPECT_FALSE(Exists(harness.job.PartPath()));
  EXPECT_EQ(server.ConnectionCount(), 1) << "only the size probe connected";
}

TEST(Resume, APartFileLongerThanTheRemoteFileIsReportedAndLeftAlone) {
  constexpr int64_t kSize = 5000;
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, kSize));
  ScratchFolder folder;
  JobHarness harness(server.port(), FolderOf(folder));
  const std::vector<unsigned char> longer(kSize + 10, 0x5A);
  WriteBytes(harness.job.PartPath(), longer);

  ASSERT_TRUE(harness.Start());
  ASSERT_EQ(harness.view.messages.size(), 1u);
  EXPECT_EQ(harness.view.messages[0], "File size error: " + harness.job.PartPath());
  EXPECT_TRUE(harness.job.m_workers.empty());
  harness.Tick(TIMER_SCHEDULER);
  EXPECT_EQ(harness.job.m_nLastAssigned, -1);
  EXPECT_TRUE(ReadBytes(harness.job.PartPath()) == longer);
  EXPECT_FALSE(Exists(harness.job.FinalPath()));
}

TEST(Start, AFolderThatCannotHoldThePartFileIsAFileCreationError) {
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, 5000));
  ScratchFolder folder;
  JobHarness harness(server.port(), FolderOf(folder) + "\\missing");

  ASSERT_TRUE(harness.Start());
  ASSERT_EQ(harness.view.messages.size(), 1u);
  EXPECT_EQ(harness.view.messages[0], "File creation error: " + harness.job.PartPath());
  EXPECT_TRUE(harness.job.m_workers.empty());
  EXPECT_EQ(harness.job.m_nLastAssigned, -1);
}

TEST(Start, ATinyRemoteFileDownloadsAndShowsAPercentNotADivisionByZero) {
  constexpr int64_t kSize = 57;
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, kSize));
  ScratchFolder folder;
  JobHarness harness(server.port(), FolderOf(folder));

  ASSERT_TRUE(harness.Start());
  harness.Tick(TIMER_DISPLAY);
  EXPECT_GE(harness.monitor.m_nPercent, 0);
  EXPECT_LE(harness.monitor.m_nPercent, 100);
  ASSERT_TRUE(harness.RunToEnd());
  EXPECT_TRUE(ReadBytes(harness.job.FinalPath()) == server.ReadServedFile(kServedPath, 0, kSize));
}

TEST(Start, AProbeThatFindsNoSizeIsAskedAgainAfterAPauseWithoutEnd) {
  testsupport::ServerOptions options;
  options.kind = ServerKind::Pyftpdlib;
  options.files.push_back({"manual/vm/Clients/Other.exe", 10, false});
  FtpServer server(options);
  ScratchFolder folder;
  {
    JobHarness harness(server.port(), FolderOf(folder));
    harness.job.StartDownload();
    for (int probe = 1; probe <= 3; ++probe) {
      // The probe reports no size; nothing runs until the retry tick, however long it takes.
      ASSERT_TRUE(harness.PumpUntil([&] { return harness.job.m_pProbe == nullptr; })) << probe;
      harness.Pump(300);
      EXPECT_EQ(harness.job.m_pProbe, nullptr) << probe;
      EXPECT_EQ(server.ConnectionCount(), probe);
      EXPECT_EQ(harness.job.m_nFileSize, 0);
      EXPECT_TRUE(harness.job.m_workers.empty());
      EXPECT_EQ(harness.timerTicksDue[TIMER_START], 0);

      harness.Tick(TIMER_PROBE_RETRY);
      EXPECT_NE(harness.job.m_pProbe, nullptr) << probe;
    }
  }  // the running probe is stopped and every retired one freed
}

// Without a server a probe fails at once; it is asked again on the retry tick each time.
TEST(Start, ProbesAgainstNoServerAreAskedAgainOnTheRetryTick) {
  ScratchFolder folder;
  uint16_t closedPort = 0;
  {
    FtpServer server(InstallerServer(ServerKind::Pyftpdlib, 10));
    closedPort = server.port();
  }
  JobHarness harness(closedPort, FolderOf(folder));
  harness.realTimers = true;
  harness.job.StartDownload();
  ASSERT_TRUE(harness.PumpUntil([&] { return harness.timerTicksDue[TIMER_PROBE_RETRY] >= 2; }));
  EXPECT_EQ(harness.job.m_nFileSize, 0);
  EXPECT_TRUE(harness.job.m_workers.empty());
  EXPECT_EQ(harness.timerTicksDue[TIMER_START], 0);
}

TEST(Completion, AFinalFileThatAppearedMeanwhileIsAFileErrorAndThePartFileStays) {
  constexpr int64_t kSize = SEGMENT_SIZE + 777;
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, kSize));
  ScratchFolder folder;
  JobHarness harness(server.port(), FolderOf(folder));
  ASSERT_TRUE(harness.Start());
  const std::vector<unsigned char> someoneElses(10, 0x11);
  WriteBytes(harness.job.FinalPath(), someoneElses);

  ASSERT_TRUE(harness.RunToEnd());
  ASSERT_EQ(harness.view.messages.size(), 1u);
  EXPECT_EQ(harness.view.messages[0], "File rename error: " + harness.job.FinalPath());
  EXPECT_FALSE(harness.view.Completed());
  EXPECT_TRUE(ReadBytes(harness.job.FinalPath()) == someoneElses);
  EXPECT_TRUE(ReadBytes(harness.job.PartPath()) == server.ReadServedFile(kServedPath, 0, kSize));
  EXPECT_TRUE(harness.job.m_workers.empty());
  EXPECT_TRUE(harness.job.m_schedGuard);
}

TEST(EndToEnd, TheRealTimersDriveTheDownloadToItsEnd) {
  constexpr int64_t kSize = 2 * SEGMENT_SIZE + 10;
  FtpServer server(InstallerServer(ServerKind::Vsftpd, kSize));
  ScratchFolder folder;
  JobHarness harness(server.port(), FolderOf(folder));
  harness.realTimers = true;
  harness.job.StartDownload();
  ASSERT_TRUE(harness.PumpUntil(
      [&] { return harness.view.Completed() || !harness.view.messages.empty(); }));

  ASSERT_TRUE(harness.view.messages.empty()) << harness.view.messages.front();
  EXPECT_GE(harness.timerTicksDue[TIMER_DISPLAY], 1);
  EXPECT_NE(harness.view.statusTexts.front().find(" KB out of 3,072 KB ("), std::string::npos)
      << harness.view.statusTexts.front();
  EXPECT_TRUE(ReadBytes(harness.job.FinalPath()) == server.ReadServedFile(kServedPath, 0, kSize));
  // Nothing is left running: no timer falls due after the completion.
  harness.timerTicksDue.clear();
  harness.Pump(2500);
  EXPECT_TRUE(harness.timerTicksDue.empty());
}

}  // namespace
}  // namespace jobtest
