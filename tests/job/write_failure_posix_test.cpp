#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <string>

#include "job_harness.h"

using platform_test::ScratchFolder;
using testsupport::FtpServer;
using testsupport::ServerKind;

namespace jobtest {
namespace {

// Makes every file of this process stop growing at the given size, as a full disk would: a write
// across the limit is cut short there and the next one fails (EFBIG, with the signal ignored).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    savedHandler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, savedHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*savedHandler_)(int) = nullptr;
};

TEST(WriteFailure, IsReportedLeavesAnExactPrefixAndTheNextRunFinishes) {
  constexpr int64_t kSize = 3 * SEGMENT_SIZE + 1000;
  constexpr int64_t kRoomOnDisk = SEGMENT_SIZE + 500000;  // segment 1 fits only in part
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, kSize));
  const auto served = server.ReadServedFile(kServedPath, 0, kSize);
  // At the fastest pace the failure comes while other connections still run and their segments'
  // own messages ask for passes.
  for (const int32_t pace : {1, DownloadSettings::kLineSpeedSegmentsPerPass}) {
    SCOPED_TRACE("segments per pass: " + std::to_string(pace));
    ScratchFolder folder;
    JobOptions options;
    options.segmentsPerPass = pace;
    {
      JobHarness harness(server.port(), FolderOf(folder), options);
      ASSERT_TRUE(harness.Start());
      {
        FileSizeLimit diskFull(kRoomOnDisk);
        ASSERT_TRUE(harness.RunToEnd());
      }
      ASSERT_EQ(harness.view.messages.size(), 1u);
      EXPECT_EQ(harness.view.messages[0], "File write error: " + harness.job.PartPath());
      EXPECT_FALSE(harness.view.Completed());
      EXPECT_EQ(harness.view.activities.back(), DownloadActivity::Failed);
      // The run makes no more progress: the guard stays taken and every worker is gone.
      EXPECT_TRUE(harness.job.m_schedGuard);
      EXPECT_TRUE(harness.job.m_workers.empty());
      const int64_t lastAssigned = harness.job.m_nLastAssigned;
      harness.Tick(TIMER_SCHEDULER);
      EXPECT_EQ(harness.job.m_nLastAssigned, lastAssigned);

      const auto onDisk = ReadBytes(harness.job.PartPath());
      ASSERT_EQ(static_cast<int64_t>(onDisk.size()), kRoomOnDisk) << "the cut-short write stays";
      EXPECT_TRUE(onDisk == server.ReadServedFile(kServedPath, 0, kRoomOnDisk));
    }

    JobHarness rerun(server.port(), FolderOf(folder), options);
    ASSERT_TRUE(rerun.Start());
    EXPECT_EQ(rerun.job.m_nWritten, kRoomOnDisk);
    ASSERT_TRUE(rerun.RunToEnd());
    ASSERT_TRUE(rerun.view.messages.empty()) << rerun.view.messages.front();
    EXPECT_TRUE(ReadBytes(rerun.job.FinalPath()) == served);
  }
}

}  // namespace
}  // namespace jobtest
