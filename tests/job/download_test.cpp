#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "engine/part_file.h"
#include "engine/part_origin.h"
#include "job_harness.h"
#include "platform/sha256.h"

using platform_test::ScratchFolder;
using testsupport::FtpServer;
using testsupport::ServerKind;

namespace jobtest {
namespace {

struct FreshCase {
  bool emptyPartFileBefore;  // else none
  int32_t segmentsPerPass;
  ServerKind kind = ServerKind::Pyftpdlib;
  int32_t maxConnectionsPerAddress = 0;  // 0: no limit
};

class FreshDownload : public ::testing::TestWithParam<FreshCase> {};

TEST_P(FreshDownload, SeveralSegmentsAndATailEndByteExactUnderTheFinalName) {
  constexpr int64_t kSize = 3 * SEGMENT_SIZE + 12345;
  testsupport::ServerOptions options = InstallerServer(GetParam().kind, kSize);
  options.maxConnectionsPerAddress = GetParam().maxConnectionsPerAddress;
  FtpServer server(options);
  ScratchFolder folder;
  JobHarness harness(server.port(), FolderOf(folder),
                     JobOptions{30, "", GetParam().segmentsPerPass});
  if (GetParam().emptyPartFileBefore) {
    WriteBytes(harness.job.PartPath(), {});
  }

  EXPECT_FALSE(harness.job.PauseAll()) << "nothing to pause while the size is probed";
  EXPECT_EQ(harness.job.m_bRunning, 1);
  ASSERT_TRUE(harness.Start());
  EXPECT_EQ(harness.job.m_strTotalKB, "4,620");
  // The start launches as many segments as a pass may, of the four there are. The fastest pace
  // cuts the file into a share for each connection, logs in eight at a time, and goes on over
  // the connections of those that finish.
  const bool lineSpeed = GetParam().segmentsPerPass >= DownloadSettings::kLineSpeedSegmentsPerPass;
  if (lineSpeed) {
    EXPECT_GE(harness.job.m_nLastAssigned, 7);
  } else {
    EXPECT_EQ(harness.job.m_workers.size(),
              static_cast<size_t>(std::min(4, GetParam().segmentsPerPass)));
  }
  ASSERT_TRUE(harness.RunToEnd());

  ASSERT_TRUE(harness.view.messages.empty()) << harness.view.messages.front();
  EXPECT_TRUE(harness.view.Notices().empty()) << harness.view.Notices().front();
  EXPECT_TRUE(ReadBytes(harness.job.FinalPath()) == server.ReadServedFile(kServedPath, 0, kSize));
  EXPECT_FALSE(Exists(harness.job.PartPath()));
  EXPECT_EQ(harness.view.timeTexts.back(), kCompleted);
  EXPECT_EQ(harness.view.statusTexts.back(), kCompleted);
  EXPECT_EQ(harness.view.progress, 100);
  EXPECT_EQ(harness.monitor.m_nPercent, 100);
  EXPECT_EQ(harness.view.tooltip, "Downloading Vellomarch (100% complete)");
  EXPECT_EQ(harness.job.m_nWritten, kSize);
  if (lineSpeed) {
    EXPECT_GE(harness.job.m_nLastWritten, 14);
  } else {
    EXPECT_EQ(harness.job.m_nLastWritten, 3);
  }
  EXPECT_TRUE(harness.job.m_workers.empty());

  // Segment 0 starts at 0 without a restart command; the others where the previous one ended,
  // each once. The fastest pace cuts this small file into shares, one for each connection.
  if (GetParam().kind == ServerKind::Pyftpdlib) {  // the one that logs commands
    std::vector<int64_t> starts;
    for (const std::string& line : server.CommandLog()) {
      if (line.rfind("REST ", 0) == 0) {
        starts.push_back(std::stoll(line.substr(5)));
      }
    }
    std::sort(starts.begin(), starts.end());
    EXPECT_TRUE(std::adjacent_find(starts.begin(), starts.end()) == starts.end());
    EXPECT_EQ(starts.size(), static_cast<size_t>(harness.job.m_nLastWritten));
    EXPECT_EQ(std::count(starts.begin(), starts.end(), 0), 0);
    if (GetParam().segmentsPerPass < DownloadSettings::kLineSpeedSegmentsPerPass) {
      EXPECT_EQ(starts, (std::vector<int64_t>{SEGMENT_SIZE, 2 * SEGMENT_SIZE, 3 * SEGMENT_SIZE}));
    }
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
                         ::testing::Values(FreshCase{false, 1}, FreshCase{true, 1},
                                           FreshCase{false, 4}, FreshCase{true, 15},
                                           // Servers that let in two connections from us.
                                           FreshCase{false, 15, ServerKind::Vsftpd, 2},
                                           FreshCase{false, 4, ServerKind::Pyftpdlib, 2}),
                         [](const auto& param) {
                           const FreshCase& fresh = param.param;
                           std::string name =
                               fresh.emptyPartFileBefore ? "EmptyBefore" : "NoneBefore";
                           name += "_" + std::to_string(fresh.segmentsPerPass) + "PerPass";
                           if (fresh.maxConnectionsPerAddress > 0) {
                             name += "_" +
                                     std::string(fresh.kind == ServerKind::Vsftpd ? "vsftpd"
                                                                                  : "pyftpdlib") +
                                     "Allowing" + std::to_string(fresh.maxConnectionsPerAddress);
                           }
                           return name;
                         });

TEST(Resume, ContinuesAMillionBytePartFileFromItsLength) {
  constexpr int64_t kSize = 2 * SEGMENT_SIZE + 4321;
  FtpServer server(InstallerServer(ServerKind::Vsftpd, kSize));
  ScratchFolder folder;
  JobHarness harness(server.port(), FolderOf(folder));
  WriteBytes(harness.job.PartPath(), server.ReadServedFile(kServedPath, 0, 1000000));

  ASSERT_TRUE(harness.Start());
  EXPECT_TRUE(Exists(OriginFilePath(harness.job.PartPath()))) << "recorded from now on";
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

// Left by an older build, without a record of where its bytes came from: still not a prefix.
TEST(Resume, APartFileLongerThanTheRemoteFileStartsAgainFromZero) {
  constexpr int64_t kSize = 5000;
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, kSize));
  ScratchFolder folder;
  JobHarness harness(server.port(), FolderOf(folder));
  WriteBytes(harness.job.PartPath(), std::vector<unsigned char>(kSize + 10, 0x5A));

  ASSERT_TRUE(harness.Start());
  ASSERT_EQ(harness.job.m_workers.size(), 1u);
  EXPECT_EQ(harness.job.m_workers.front()->m_nStart, 0);
  EXPECT_EQ(harness.view.statusTexts.front(), kServerFileChanged);
  ASSERT_TRUE(harness.RunToEnd());
  ASSERT_TRUE(harness.view.messages.empty()) << harness.view.messages.front();
  EXPECT_TRUE(ReadBytes(harness.job.FinalPath()) == server.ReadServedFile(kServedPath, 0, kSize));
}

struct ChangeCase {
  const char* name;
  ServerKind kind;
  std::vector<std::string> faults;
  int64_t newSize;  // 0: the installer stays as it was
  bool startsAgain;
  int32_t segmentsPerPass;  // of the second run
};

void PrintTo(const ChangeCase& change, std::ostream* out) {
  *out << change.name;
}

class BetweenTwoRuns : public ::testing::TestWithParam<ChangeCase> {};

// The first run writes its first segment and is left to resume later; then the server's installer
// may be replaced under its name. The second run resumes only onto the same file, and ends as the
// file the server has now, byte-exact.
TEST_P(BetweenTwoRuns, ResumesOnlyOntoTheSameRemoteFile) {
  const ChangeCase& change = GetParam();
  constexpr int64_t kSize = 3 * SEGMENT_SIZE + 1000;
  FtpServer server(InstallerServer(change.kind, kSize, change.faults));
  ScratchFolder folder;
  {
    JobHarness first(server.port(), FolderOf(folder));
    ASSERT_TRUE(first.Start());
    CDownloadThread* segment0 = first.job.m_workers.front();
    ASSERT_TRUE(first.PumpUntil([&] { return segment0->m_bComplete.load() != 0; }));
    first.Tick(TIMER_SCHEDULER);
    ASSERT_TRUE(first.PumpUntil([&] { return first.job.m_nWritten == SEGMENT_SIZE; }));
  }
  const int64_t size = change.newSize > 0 ? change.newSize : kSize;
  if (change.newSize > 0) {
    server.ReplaceServedFile(kServedPath, change.newSize);
  }

  JobHarness second(server.port(), FolderOf(folder), JobOptions{30, "", change.segmentsPerPass});
  ASSERT_TRUE(second.Start());
  const auto& texts = second.view.statusTexts;
  EXPECT_EQ(std::count(texts.begin(), texts.end(), kServerFileChanged), change.startsAgain ? 1 : 0);
  ASSERT_TRUE(second.RunToEnd());

  ASSERT_TRUE(second.view.messages.empty()) << second.view.messages.front();
  EXPECT_EQ(second.job.m_nReceivedForSpeed, size - (change.startsAgain ? 0 : SEGMENT_SIZE))
      << "fetched from where the kept prefix ends";
  EXPECT_TRUE(ReadBytes(second.job.FinalPath()) == server.ReadServedFile(kServedPath, 0, size));
  EXPECT_FALSE(Exists(second.job.PartPath()));
  EXPECT_FALSE(Exists(OriginFilePath(second.job.PartPath())));
}

INSTANTIATE_TEST_SUITE_P(
    Installer, BetweenTwoRuns,
    ::testing::Values(
        ChangeCase{"Unchanged", ServerKind::Vsftpd, {}, 0, false, 4},
        // Without the server's time the size alone tells.
        ChangeCase{"UnchangedWithoutMdtm", ServerKind::Pyftpdlib, {"refuse-mdtm"}, 0, false, 1},
        ChangeCase{
            "SameSizeAnotherTime", ServerKind::Pyftpdlib, {}, 3 * SEGMENT_SIZE + 1000, true, 1},
        ChangeCase{"Larger", ServerKind::Vsftpd, {}, 4 * SEGMENT_SIZE, true, 15},
        ChangeCase{"ShorterThanThePartFile", ServerKind::Proftpd, {}, SEGMENT_SIZE / 2, true, 4}),
    [](const auto& param) { return std::string(param.param.name); });

std::string Sha256Of(const std::vector<unsigned char>& bytes) {
  platform::Sha256 hash;
  hash.Update(bytes.data(), bytes.size());
  return platform::ToHex(hash.Finish().value());
}

struct CheckCase {
  const char* name;
  ServerKind kind;
  std::vector<std::string> faults;
  bool servedThroughALink;  // the installer's name links to a file of another name
  bool rightHash;
  bool whole;  // what arrives is the served file
};

void PrintTo(const CheckCase& check, std::ostream* out) {
  *out << check.name;
}

class HashChecked : public ::testing::TestWithParam<CheckCase> {};

// With an expected hash in the build, the file gets its name only when it has that hash. A
// damaged one is deleted with its record, the user is told, and the job waits for the next
// start from 0 instead of downloading again by itself.
TEST_P(HashChecked, GivesTheFinalNameOnlyToTheExpectedBytes) {
  const CheckCase& check = GetParam();
  constexpr int64_t kSize = 2 * SEGMENT_SIZE + 777;
  const std::string linkedPath = "manual/vm/store/Setup_latest.exe";
  testsupport::ServerOptions options = InstallerServer(check.kind, kSize, check.faults);
  if (check.servedThroughALink) {
    options.files = {{linkedPath, kSize, false}};
    options.links = {{kServedPath, "../store/Setup_latest.exe"}};
  }
  FtpServer server(options);
  const auto served = server.ReadServedFile(kServedPath, 0, kSize);
  ScratchFolder folder;
  JobHarness harness(server.port(), FolderOf(folder),
                     JobOptions{30, check.rightHash ? Sha256Of(served) : Sha256Of({1, 2, 3}), 1});
  ASSERT_TRUE(harness.Start());
  ASSERT_TRUE(harness.RunToEnd());

  EXPECT_NE(
      std::find(harness.view.statusTexts.begin(), harness.view.statusTexts.end(), "Verifying..."),
      harness.view.statusTexts.end());
  using A = DownloadActivity;
  // Verifying has no figure to show, like the size probe.
  const std::vector<A> before{A::Preparing, A::Transferring, A::Preparing};
  std::vector<A> expected = before;
  if (check.whole && check.rightHash) {
    ASSERT_TRUE(harness.view.messages.empty()) << harness.view.messages.front();
    EXPECT_TRUE(ReadBytes(harness.job.FinalPath()) == served);
    expected.push_back(A::Completed);
    EXPECT_EQ(harness.view.activities, expected);
    return;
  }
  expected.push_back(A::Failed);
  EXPECT_EQ(harness.view.activities, expected);
  ASSERT_EQ(harness.view.messages.size(), 1u) << ::testing::PrintToString(harness.view.messages);
  EXPECT_EQ(harness.view.messages[0].substr(0, 17), "Damaged download:");
  EXPECT_FALSE(harness.view.Completed());
  EXPECT_FALSE(Exists(harness.job.FinalPath()));
  EXPECT_FALSE(Exists(harness.job.PartPath()));
  EXPECT_FALSE(Exists(OriginFilePath(harness.job.PartPath())));
  EXPECT_EQ(harness.view.readyToStartShown, 1);
  EXPECT_EQ(harness.job.m_nPhase, 1);
  EXPECT_FALSE(harness.job.m_schedGuard);
  harness.timerTicksDue.clear();
  harness.Pump(1500);
  EXPECT_TRUE(harness.timerTicksDue.empty()) << "nothing runs until the user starts again";
  EXPECT_EQ(harness.job.m_pProbe, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Installer, HashChecked,
    ::testing::Values(
        CheckCase{"RightHashThroughALinkToAnotherName", ServerKind::Vsftpd, {}, true, true, true},
        CheckCase{"WrongHash", ServerKind::Pyftpdlib, {}, false, false, true},
        // REST accepted, then the file sent from its start: every segment but the first holds
        // the wrong bytes, and only the hash can tell.
        CheckCase{"RestartIgnoredByTheServer",
                  ServerKind::Pyftpdlib,
                  {"ignore-rest"},
                  false,
                  true,
                  false}),
    [](const auto& param) { return std::string(param.param.name); });

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
