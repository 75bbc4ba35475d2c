#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "job_harness.h"
#include "platform/clock.h"
#include "support/process.h"

using platform_test::ScratchFolder;
using testsupport::ChildProcess;
using testsupport::FtpServer;
using testsupport::ServerKind;

namespace jobtest {
namespace {

constexpr uint32_t kPatienceMs = 120000;

int64_t LengthOf(const std::filesystem::path& path) {
  std::error_code error;
  const auto length = std::filesystem::file_size(path, error);
  return error ? -1 : static_cast<int64_t>(length);
}

// Polls often, so a kill can land in the middle of an append.
bool WaitFor(ChildProcess& child, const std::function<bool()>& done) {
  const uint32_t begin = platform::TickCount();
  int status = 0;
  while (!done()) {
    if (child.HasExited(status) || platform::TickCount() - begin > kPatienceMs) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// The tool runs the whole download on real timers, at the default and at the fastest pace; a
// forced end at any moment leaves a part file that is an exact prefix of the remote file, and the
// next run completes from it.
TEST(CrashSafety, AKilledRunLeavesAnExactPrefixAndTheNextRunFinishes) {
  constexpr int64_t kSize = 8 * SEGMENT_SIZE + 3333;
  FtpServer server(InstallerServer(ServerKind::Vsftpd, kSize, {}, 3000000));
  const auto served = server.ReadServedFile(kServedPath, 0, kSize);
  for (const char* segmentsPerPass : {"1", "15"}) {
    SCOPED_TRACE(segmentsPerPass);
    ScratchFolder folder;
    const auto partFile = folder.path() / "Setup_Vellomarch_1.11.exe.downloading";
    const std::vector<std::string> command = {MORAVENT_HEADLESS_DOWNLOAD, "127.0.0.1",
                                              std::to_string(server.port()), folder.path().string(),
                                              segmentsPerPass};

    // Killed once the part file exists, just as it first grows, and once it holds half the file.
    using KillPoint = std::function<bool(int64_t length, int64_t lengthBefore)>;
    const std::vector<KillPoint> killPoints = {
        [](int64_t length, int64_t) { return length >= 0; },
        [](int64_t length, int64_t before) { return length > before; },
        [](int64_t length, int64_t) { return length >= kSize / 2; },
    };
    for (const KillPoint& killPoint : killPoints) {
      const int64_t before = LengthOf(partFile);
      ChildProcess child(command);
      ASSERT_TRUE(WaitFor(child, [&] { return killPoint(LengthOf(partFile), before); }));
      child.WaitOrKill(std::chrono::milliseconds(0));

      const int64_t length = LengthOf(partFile);
      ASSERT_GE(length, before);
      EXPECT_TRUE(ReadBytes(partFile.string()) == server.ReadServedFile(kServedPath, 0, length))
          << "not a prefix after a kill at " << length << " bytes";
    }

    ChildProcess lastRun(command);
    int status = -1;
    const uint32_t begin = platform::TickCount();
    while (!lastRun.HasExited(status) && platform::TickCount() - begin < kPatienceMs) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(ReadBytes((folder.path() / "Setup_Vellomarch_1.11.exe").string()) == served);
    EXPECT_FALSE(std::filesystem::exists(partFile));
  }
}

}  // namespace
}  // namespace jobtest
