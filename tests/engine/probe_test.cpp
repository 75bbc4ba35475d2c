#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "worker_harness.h"

using testsupport::FtpServer;
using testsupport::ServerKind;

namespace enginetest {
namespace {

class SizeProbe : public ::testing::TestWithParam<ServerKind> {};

TEST_P(SizeProbe, FindsTheSizeAndReportsOnce) {
  FtpServer server(InstallerServer(GetParam(), 5000000));
  WorkerHarness harness;
  auto probe = harness.RunProbe(server.port());
  ASSERT_TRUE(probe);

  EXPECT_EQ(probe->m_nStart, 5000000);
  EXPECT_EQ(probe->m_bComplete.load(), 1);
  EXPECT_EQ(probe->m_bError.load(), 0);
  EXPECT_EQ(probe->GetStatus(), "Suceess");
  const auto done = harness.MessagesOf(WM_WORKER_DONE);
  ASSERT_EQ(done.size(), 1u);
  EXPECT_EQ(done[0].worker, probe.get());
  EXPECT_EQ(done[0].lParam, 0);
  EXPECT_TRUE(harness.ByteCounts().empty());
}

INSTANTIATE_TEST_SUITE_P(Servers, SizeProbe,
                         ::testing::Values(ServerKind::Vsftpd, ServerKind::Pyftpdlib,
                                           ServerKind::Proftpd),
                         [](const auto& paramInfo) {
                           switch (paramInfo.param) {
                             case ServerKind::Vsftpd:
                               return "vsftpd";
                             case ServerKind::Pyftpdlib:
                               return "pyftpdlib";
                             default:
                               return "proftpd";
                           }
                         });

// What a mirror may serve under the installer's name. Only a file's own size may become the
// download's size: a link's listed size is the link's, a directory is no installer.
class ServedUnderTheName : public ::testing::TestWithParam<ServerKind> {};

TEST_P(ServedUnderTheName, OnlyAFileOrWhatALinkNamesGivesTheSize) {
  constexpr int64_t kRealSize = 5000000;
  struct Case {
    const char* what;
    std::vector<testsupport::ServedLink> links;
    std::vector<std::string> directories;
    int64_t size;  // 0: not found
  };
  const Case cases[] = {
      // Named as what it links to: vsftpd lists a link by the name of its target.
      {"a link to the installer",
       {{kServedPath, std::string("../store/") + kFileName}},
       {},
       kRealSize},
      {"a link to nothing", {{kServedPath, "../store/none"}}, {}, 0},
      // Its listing shows the inner directory's entry, under the installer's name.
      {"a directory", {}, {std::string(kServedPath) + "/" + kFileName}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testsupport::ServerOptions options;
    options.kind = GetParam();
    options.files = {{std::string("manual/vm/store/") + kFileName, kRealSize, true}};
    options.links = c.links;
    options.directories = c.directories;
    FtpServer server(options);
    WorkerHarness harness;
    auto probe = harness.RunProbe(server.port());
    ASSERT_TRUE(probe);
    EXPECT_EQ(probe->m_nStart, c.size);
    EXPECT_EQ(probe->m_bComplete.load(), c.size > 0 ? 1 : 0);
    EXPECT_EQ(probe->m_bError.load(), c.size > 0 ? 0 : 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Servers, ServedUnderTheName,
                         ::testing::Values(ServerKind::Vsftpd, ServerKind::Proftpd),
                         [](const auto& paramInfo) {
                           return paramInfo.param == ServerKind::Vsftpd ? "vsftpd" : "proftpd";
                         });

TEST(SizeProbeLookup, AnEntryNamedByItsPathFromTheRootIsTheInstaller) {
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, 4096, {"listing-paths"}));
  WorkerHarness harness;
  auto probe = harness.RunProbe(server.port());
  ASSERT_TRUE(probe);
  EXPECT_EQ(probe->m_nStart, 4096);
  EXPECT_EQ(probe->m_bComplete.load(), 1);
}

TEST(SizeProbeLookup, ANameOnlyInAnotherCaseIsNotFound) {
  FtpServer server(InstallerServer(ServerKind::Vsftpd, 4096));
  WorkerHarness harness;
  auto probe = harness.RunProbe(server.port(), "setup_vellomarch_1.11.EXE");
  ASSERT_TRUE(probe);

  EXPECT_EQ(probe->m_nStart, 0);
  EXPECT_EQ(probe->m_bError.load(), 1);
  EXPECT_EQ(probe->m_bComplete.load(), 0);
  EXPECT_EQ(probe->GetStatus(), "Suceess") << "a missing file is no transfer error";
  EXPECT_EQ(harness.MessagesOf(WM_WORKER_DONE).size(), 1u);
}

TEST(SizeProbeLookup, AnEmptyFileCountsAsNoSize) {
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, 0));
  WorkerHarness harness;
  auto probe = harness.RunProbe(server.port());
  ASSERT_TRUE(probe);
  EXPECT_EQ(probe->m_nStart, 0);
  EXPECT_EQ(probe->m_bError.load(), 1);
}

TEST(SizeProbeLookup, ReportsAFileBeyondFourGigabytesWhole) {
  testsupport::ServerOptions options;
  options.kind = ServerKind::Vsftpd;
  options.files.push_back({kServedPath, 5368709120LL + 123, true});
  FtpServer server(options);
  WorkerHarness harness;
  auto probe = harness.RunProbe(server.port());
  ASSERT_TRUE(probe);
  EXPECT_EQ(probe->m_nStart, 5368709120LL + 123);
  EXPECT_EQ(probe->m_bComplete.load(), 1);
}

TEST(SizeProbeLookup, AMissingDirectoryFailsWithTheServersReply) {
  FtpServer server(InstallerServer(ServerKind::Pyftpdlib, 4096));
  WorkerHarness harness;
  auto probe = harness.MakeWorker(server.port(), -1, 0, 0);
  ASSERT_TRUE(probe);
  probe->m_strServerDir = "/no/such/dir/";
  ASSERT_TRUE(harness.Run(*probe));

  EXPECT_EQ(probe->m_bError.load(), 1);
  const std::string status = probe->GetStatus();
  EXPECT_EQ(status.substr(0, 3), "550") << status;
  EXPECT_EQ(status.find_first_of("\r\n"), std::string::npos) << "line ends are removed";
  EXPECT_EQ(harness.MessagesOf(WM_WORKER_DONE).size(), 1u) << "a failed probe reports too";
}

}  // namespace
}  // namespace enginetest
