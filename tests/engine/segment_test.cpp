#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "worker_harness.h"

using testsupport::FtpServer;
using testsupport::ServerKind;

namespace enginetest {
namespace {

constexpr int64_t kFileSize = 3 * SEGMENT_SIZE + 5000;

int CountCommands(const FtpServer& server, const std::string& prefix) {
  const auto log = server.CommandLog();
  return static_cast<int>(std::count_if(log.begin(), log.end(), [&](const std::string& line) {
    return line.compare(0, prefix.size(), prefix) == 0;
  }));
}

// Fetches one segment and checks it against the served bytes.
void ExpectSegmentFetched(FtpServer& server, int64_t start, int32_t length) {
  WorkerHarness harness;
  auto worker = harness.MakeWorker(server.port(), 0, start, length);
  ASSERT_TRUE(worker);
  ASSERT_TRUE(harness.Run(*worker));
  EXPECT_EQ(worker->GetStatus(), "Suceess");
  EXPECT_EQ(worker->m_bComplete.load(), 1);
  EXPECT_EQ(worker->m_bError.load(), 0);
  ASSERT_EQ(worker->m_nGot, length);
  EXPECT_TRUE(SegmentBytes(*worker) == server.ReadServedFile(kServedPath, start, length))
      << "bytes differ from the served file at offset " << start;
  int64_t reported = 0;
  for (int32_t count : harness.ByteCounts()) {
    reported += count;
  }
  EXPECT_EQ(reported, length) << "every byte is reported once";
  EXPECT_TRUE(harness.MessagesOf(WM_WORKER_DONE).empty()) << "segment workers post no result";
}

TEST(Segment, AtOffsetZeroSendsNoRestartCommand) {
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, kFileSize));
  ExpectSegmentFetched(server, 0, SEGMENT_SIZE);
  EXPECT_EQ(CountCommands(server, "REST"), 0);
}

TEST(Segment, AtAnOffsetRestartsThereWithOneCommandLine) {
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, kFileSize));
  const int64_t start = 2 * SEGMENT_SIZE + 777;
  ExpectSegmentFetched(server, start, 100000);
  const auto log = server.CommandLog();
  EXPECT_NE(std::find(log.begin(), log.end(), "REST " + std::to_string(start)), log.end())
      << "the restart command reaches the server as one clean line";
}

TEST(Segment, AWholeSegmentArrivesIn384FullReads) {
  FtpServer server(InstallerServer(ServerKind::Vsftpd, kFileSize));
  WorkerHarness harness;
  auto worker = harness.MakeWorker(server.port(), 1, SEGMENT_SIZE, SEGMENT_SIZE);
  ASSERT_TRUE(worker);
  ASSERT_TRUE(harness.Run(*worker));
  ASSERT_EQ(worker->m_bComplete.load(), 1) << worker->GetStatus();
  const auto counts = harness.ByteCounts();
  EXPECT_EQ(counts.size(), 384u);
  EXPECT_TRUE(std::all_of(counts.begin(), counts.end(), [](int32_t c) { return c == 4096; }));
  for (const PostedMessage& posted : harness.MessagesOf(WM_WORKER_BYTES)) {
    ASSERT_EQ(posted.worker, worker.get());
  }
  EXPECT_TRUE(SegmentBytes(*worker) ==
              server.ReadServedFile(kServedPath, SEGMENT_SIZE, SEGMENT_SIZE));
}

TEST(Segment, AShortLastSegmentEndsWithOnePartialRead) {
  FtpServer server(InstallerServer(ServerKind::Vsftpd, kFileSize));
  WorkerHarness harness;
  auto worker = harness.MakeWorker(server.port(), 3, 3 * SEGMENT_SIZE, 5000);
  ASSERT_TRUE(worker);
  ASSERT_TRUE(harness.Run(*worker));
  EXPECT_EQ(worker->m_bComplete.load(), 1) << worker->GetStatus();
  EXPECT_EQ(harness.ByteCounts(), (std::vector<int32_t>{4096, 904}));
  EXPECT_TRUE(SegmentBytes(*worker) == server.ReadServedFile(kServedPath, 3 * SEGMENT_SIZE, 5000));
}

TEST(Segment, StopsAtTheSegmentsEndInsideALongerFile) {
  FtpServer server(InstallerServer(ServerKind::Vsftpd, kFileSize));
  ExpectSegmentFetched(server, 12345, 10000);
}

TEST(Segment, RestartsBeyondFourGigabytes) {
  testsupport::ServerOptions options;
  options.kind = ServerKind::Pyftpdlib;
  options.files.push_back({kServedPath, 5368709120LL, true});
  FtpServer server(options);
  const int64_t start = 4294967296LL + 4096 * 3 + 11;
  ExpectSegmentFetched(server, start, 20000);
  const auto log = server.CommandLog();
  EXPECT_NE(std::find(log.begin(), log.end(), "REST " + std::to_string(start)), log.end());
}

TEST(Segment, WorksAgainstProftpd) {
  FtpServer server(InstallerServer(ServerKind::Proftpd, kFileSize));
  WorkerHarness harness;
  auto probe = harness.RunProbe(server.port());
  ASSERT_TRUE(probe);
  EXPECT_EQ(probe->m_nStart, kFileSize);
  ExpectSegmentFetched(server, SEGMENT_SIZE + 99, SEGMENT_SIZE);
}

}  // namespace
}  // namespace enginetest
