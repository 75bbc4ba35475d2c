#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "net/internet_error.h"
#include "worker_harness.h"

using testsupport::FtpServer;
using testsupport::ServerKind;

namespace enginetest {
namespace {

constexpr int64_t kFileSize = 2 * SEGMENT_SIZE;

// Runs one segment worker to its end and expects it to have failed with the given status.
std::unique_ptr<CDownloadThread> ExpectSegmentFails(WorkerHarness& harness, uint16_t port,
                                                    int64_t start, int32_t length,
                                                    const std::string& status) {
  auto worker = harness.MakeWorker(port, 0, start, length);
  EXPECT_TRUE(worker);
  if (!worker) {
    return worker;
  }
  EXPECT_TRUE(harness.Run(*worker));
  EXPECT_EQ(worker->GetStatus(), status);
  EXPECT_EQ(worker->m_bError.load(), 1);
  EXPECT_EQ(worker->m_bComplete.load(), 0);
  EXPECT_TRUE(harness.MessagesOf(WM_WORKER_DONE).empty());
  return worker;
}

TEST(SegmentFailure, RefusedRestartPosition) {
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, kFileSize, {"refuse-rest"}));
  WorkerHarness harness;
  auto worker = ExpectSegmentFails(harness, server.port(), 1000, 4096,
                                   "Cant not file position of FTP Server");
  EXPECT_EQ(worker->m_nGot, 0);
}

TEST(SegmentFailure, ALengthOutsideOneSegmentFailsRatherThanEndWithoutAnOutcome) {
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, kFileSize));
  for (const int32_t length : {0, -5, SEGMENT_SIZE + 1}) {
    SCOPED_TRACE(length);
    WorkerHarness harness;
    ExpectSegmentFails(harness, server.port(), 0, length,
                       "Invalid segment length " + std::to_string(length));
  }
}

TEST(SegmentFailure, DataEndingEarlyIsABrokenNetwork) {
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, kFileSize, {"short-data=100"}));
  WorkerHarness harness;
  // The last segment: the server claims success after sending 100 bytes too few.
  auto worker =
      ExpectSegmentFails(harness, server.port(), SEGMENT_SIZE, SEGMENT_SIZE, "Broken network...");
  ASSERT_EQ(worker->m_nGot, SEGMENT_SIZE - 100);
  EXPECT_TRUE(SegmentBytes(*worker) ==
              server.ReadServedFile(kServedPath, SEGMENT_SIZE, SEGMENT_SIZE - 100))
      << "what did arrive is intact";
}

TEST(SegmentFailure, DroppedDataConnectionFails) {
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, kFileSize, {"drop-data-after=50000"}));
  WorkerHarness harness;
  auto worker = harness.MakeWorker(server.port(), 0, 0, SEGMENT_SIZE);
  ASSERT_TRUE(worker);
  ASSERT_TRUE(harness.Run(*worker));
  EXPECT_EQ(worker->m_bError.load(), 1);
  EXPECT_EQ(worker->m_bComplete.load(), 0);
  EXPECT_LT(worker->m_nGot, SEGMENT_SIZE);
}

TEST(SegmentFailure, StalledServerHitsTheReceiveTimeOut) {
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, kFileSize, {"stall-after=8192"}));
  WorkerHarness harness;
  auto worker = harness.MakeWorker(server.port(), 0, 0, SEGMENT_SIZE);
  ASSERT_TRUE(worker);
  worker->m_nTimeoutMs = 500;  // a segment worker waits three times this for data
  ASSERT_TRUE(harness.Run(*worker, 60000));
  EXPECT_EQ(worker->GetStatus(), "Internet Exception Error 12002");
  EXPECT_EQ(worker->m_bError.load(), 1);
  EXPECT_EQ(worker->m_nGot, 8192);
}

TEST(SegmentFailure, MissingRemoteFileQuotesTheServersReply) {
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, kFileSize));
  WorkerHarness harness;
  auto worker = harness.MakeWorker(server.port(), 0, 0, 4096, "Other.exe");
  ASSERT_TRUE(worker);
  ASSERT_TRUE(harness.Run(*worker));
  EXPECT_EQ(worker->m_bError.load(), 1);
  EXPECT_EQ(worker->GetStatus().rfind("Internet Exception Error 12003550", 0), 0u)
      << worker->GetStatus();
}

TEST(ConnectFailure, UnresolvableHostIsNotFound) {
  WorkerHarness harness;
  auto probe = harness.MakeWorker(21, -1, 0, 0);
  ASSERT_TRUE(probe);
  probe->m_strHost = "no-such-host.invalid";
  ASSERT_TRUE(harness.Run(*probe));
  EXPECT_EQ(probe->GetStatus(), "no-such-host.invalid Not Found");
  EXPECT_EQ(probe->m_bError.load(), 1);
  EXPECT_EQ(harness.MessagesOf(WM_WORKER_DONE).size(), 1u);
}

TEST(ConnectFailure, AVeryLongHostNameIsCutToTheErrorBuffer) {
  WorkerHarness harness;
  auto probe = harness.MakeWorker(21, -1, 0, 0);
  ASSERT_TRUE(probe);
  probe->m_strHost = std::string(200, 'a') + ".invalid";
  ASSERT_TRUE(harness.Run(*probe));
  EXPECT_EQ(probe->GetStatus(), std::string(127, 'a'));
  EXPECT_EQ(std::strlen(probe->m_szError), 127u);
}

testsupport::ServerOptions RefusingLogins() {
  testsupport::ServerOptions options = InstallerServer(ServerKind::Pyftpdlib, 4096);
  options.anonymous = false;
  return options;
}

TEST(ConnectFailure, RefusedLoginReportsThePlatformsMessage) {
  FtpServer server(RefusingLogins());
  WorkerHarness harness;
  auto probe = harness.RunProbe(server.port());
  ASSERT_TRUE(probe);
  EXPECT_EQ(probe->GetStatus(), net::InternetErrorMessage(net::kErrorIncorrectPassword));
  EXPECT_EQ(probe->m_bError.load(), 1);
  EXPECT_EQ(probe->m_nStart, 0);
}

TEST(ConnectFailure, RetriesLoginWhileAttemptsAllow) {
  FtpServer server(RefusingLogins());
  WorkerHarness harness;
  auto probe = harness.MakeWorker(server.port(), -1, 0, 0);
  ASSERT_TRUE(probe);
  probe->m_nAttempts = 2;
  probe->m_nRetryDelaySec = 0;
  ASSERT_TRUE(harness.Run(*probe));
  EXPECT_EQ(probe->m_bError.load(), 1);
  EXPECT_EQ(server.ConnectionCount(), 2);
}

}  // namespace
}  // namespace enginetest
