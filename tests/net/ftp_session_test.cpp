#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "error_of.h"
#include "net/internet_error.h"
#include "net/internet_session.h"
#include "net/socket.h"
#include "support/ftp_server.h"
#include "support/loopback_socket.h"
#include "support/process.h"

namespace net {
namespace {

using testsupport::FtpServer;
using testsupport::ServedFile;
using testsupport::ServerKind;
using testsupport::ServerOptions;

constexpr int64_t kFiveGiB = 5LL * 1024 * 1024 * 1024;
constexpr int64_t kSetupSize = 2 * 1572864 + 1234;  // two segments and a short one
const char kSetupDir[] = "/manual/vm/Clients/";
// The worker joins directory and name with one more slash; every server must take that.
const char kSetupPath[] = "/manual/vm/Clients//Setup.exe";
const char kSetupServed[] = "manual/vm/Clients/Setup.exe";

// Generous: a test fails on a wrong result, not on a slow machine.
constexpr uint32_t kTimeoutMs = 60000;

std::vector<unsigned char> ReadAll(CInternetFile& file,
                                   std::vector<uint32_t>* readSizes = nullptr) {
  std::vector<unsigned char> data;
  unsigned char chunk[4096];
  while (const uint32_t got = file.Read(chunk, sizeof chunk)) {
    data.insert(data.end(), chunk, chunk + got);
    if (readSizes != nullptr) {
      readSizes->push_back(got);
    }
  }
  return data;
}

std::vector<unsigned char> ReadExactly(CInternetFile& file, size_t count) {
  std::vector<unsigned char> data(count);
  size_t got = 0;
  while (got < count) {
    const uint32_t read = file.Read(data.data() + got, static_cast<uint32_t>(count - got));
    if (read == 0) {
      break;
    }
    got += read;
  }
  data.resize(got);
  return data;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

class FtpLayer {
 public:
  explicit FtpLayer(ServerOptions options) : server_(std::move(options)) {
    for (SessionOption option : {SessionOption::ConnectTimeout, SessionOption::ReceiveTimeout,
                                 SessionOption::SendTimeout}) {
      session_.SetOption(option, kTimeoutMs);
    }
  }
  std::unique_ptr<CFtpConnection> Connect() {
    return std::unique_ptr<CFtpConnection>(
        session_.GetFtpConnection("127.0.0.1", "", "", server_.port(), true));
  }
  FtpServer& server() { return server_; }
  CInternetSession& session() { return session_; }

 private:
  FtpServer server_;
  CInternetSession session_;
};

ServerOptions WithFiles(ServerKind kind, std::vector<ServedFile> files) {
  ServerOptions options;
  options.kind = kind;
  options.files = std::move(files);
  return options;
}

std::vector<std::pair<std::string, int64_t>> Walk(CFtpConnection& connection,
                                                  const std::string& pattern) {
  std::vector<std::pair<std::string, int64_t>> entries;
  CFtpFileFind find(&connection);
  bool more = find.FindFile(pattern);
  while (more) {
    more = find.FindNextFile();
    entries.emplace_back(find.GetFileName(), find.GetLength());
  }
  find.Close();
  return entries;
}

// The same client behaviour against every server kind the program may meet.
class EveryServer : public ::testing::TestWithParam<ServerKind> {};

INSTANTIATE_TEST_SUITE_P(Kinds, EveryServer,
                         ::testing::Values(ServerKind::Pyftpdlib, ServerKind::Vsftpd,
                                           ServerKind::Proftpd),
                         [](const ::testing::TestParamInfo<ServerKind>& kind) {
                           switch (kind.param) {
                             case ServerKind::Vsftpd:
                               return "vsftpd";
                             case ServerKind::Proftpd:
                               return "proftpd";
                             default:
                               return "pyftpdlib";
                           }
                         });

TEST_P(EveryServer, ListingGivesExactSizesAndOnlyExactNames) {
  FtpLayer ftp(WithFiles(GetParam(),
                         {{kSetupServed, 1000}, {"manual/vm/Clients/huge.iso", kFiveGiB, true}}));
  auto connection = ftp.Connect();
  ASSERT_TRUE(connection->SetCurrentDirectory(kSetupDir));

  const auto huge = Walk(*connection, "huge.iso");
  ASSERT_EQ(huge.size(), 1u);
  EXPECT_EQ(huge[0].first, "huge.iso");
  EXPECT_EQ(huge[0].second, kFiveGiB);

  const auto setup = Walk(*connection, "Setup.exe");
  ASSERT_EQ(setup.size(), 1u);
  EXPECT_EQ(setup[0].second, 1000);

  for (const auto& entry : Walk(*connection, "SETUP.EXE")) {
    EXPECT_NE(entry.first, "Setup.exe");  // a name in another case is another file
  }
}

TEST_P(EveryServer, SizeOfAFileFollowsALinkAndRefusesWhatIsNoFile) {
  ServerOptions options = WithFiles(GetParam(), {{"manual/vm/store/Setup.exe", 5000}});
  options.links = {{kSetupServed, "../store/Setup.exe"},
                   {"manual/vm/Clients/Gone.exe", "../store/none"}};
  options.directories = {"manual/vm/Clients/Dir.exe"};
  FtpLayer ftp(options);
  auto connection = ftp.Connect();
  ASSERT_TRUE(connection->SetCurrentDirectory(kSetupDir));
  EXPECT_EQ(connection->GetFileSize("Setup.exe"), 5000);
  EXPECT_EQ(connection->GetFileSize("Gone.exe"), std::nullopt);
  EXPECT_EQ(connection->GetFileSize("Missing.exe"), std::nullopt);
  EXPECT_EQ(connection->GetFileSize("Dir.exe"), std::nullopt);
}

TEST_P(EveryServer, DirectoryChangeReportsRefusalWithTheServersReply) {
  FtpLayer ftp(WithFiles(GetParam(), {{kSetupServed, 10}}));
  auto connection = ftp.Connect();
  EXPECT_FALSE(connection->SetCurrentDirectory("/no/such/dir/"));
  EXPECT_TRUE(StartsWith(InternetGetLastResponseInfo(), "550")) << InternetGetLastResponseInfo();
  EXPECT_TRUE(connection->SetCurrentDirectory(kSetupDir));
  EXPECT_TRUE(StartsWith(InternetGetLastResponseInfo(), "250")) << InternetGetLastResponseInfo();
}

TEST_P(EveryServer, ReadsAWholeFileInFullReadsUntilItsEnd) {
  FtpLayer ftp(WithFiles(GetParam(), {{kSetupServed, kSetupSize}}));
  auto connection = ftp.Connect();
  std::unique_ptr<CInternetFile> file(connection->OpenFile(kSetupPath));
  ASSERT_NE(file, nullptr);
  std::vector<uint32_t> readSizes;
  const std::vector<unsigned char> data = ReadAll(*file, &readSizes);
  EXPECT_EQ(data, ftp.server().ReadServedFile(kSetupServed, 0, kSetupSize));
  ASSERT_FALSE(readSizes.empty());
  readSizes.pop_back();
  for (uint32_t size : readSizes) {
    ASSERT_EQ(size, 4096u);  // short reads only at the end of the data
  }
  uint32_t more = 1;
  EXPECT_EQ(file->Read(&more, sizeof more), 0u);
  EXPECT_TRUE(StartsWith(InternetGetLastResponseInfo(), "226")) << InternetGetLastResponseInfo();
}

TEST_P(EveryServer, RestartPositionSurvivesThePassiveSetUp) {
  FtpLayer ftp(WithFiles(GetParam(), {{kSetupServed, kSetupSize}}));
  auto connection = ftp.Connect();
  const int64_t offset = 1572864;
  ASSERT_TRUE(connection->Command("REST " + std::to_string(offset) + "\n"));
  std::unique_ptr<CInternetFile> file(connection->OpenFile(kSetupPath));
  EXPECT_EQ(ReadAll(*file), ftp.server().ReadServedFile(kSetupServed, offset, kSetupSize - offset));
}

// Either way of closing, whether the transfer still runs or its data has all come (its final
// reply unread), leaves the replies in step with the commands.
TEST_P(EveryServer, ClosingAFileEarlyLeavesTheConnectionReadyForTheNextSegment) {
  const int64_t size = 16 * 1024 * 1024;
  FtpLayer ftp(WithFiles(GetParam(), {{kSetupServed, size}}));
  auto connection = ftp.Connect();
  for (const TransferClose how : {TransferClose::AwaitReply, TransferClose::Abort}) {
    for (const int64_t offset : {int64_t{0}, int64_t{3000000}, size - 100000}) {
      SCOPED_TRACE(std::to_string(offset) + (how == TransferClose::Abort ? " with ABOR" : ""));
      if (offset > 0) {
        ASSERT_TRUE(connection->Command("REST " + std::to_string(offset) + "\n"));
      }
      std::unique_ptr<CInternetFile> file(connection->OpenFile(kSetupPath));
      EXPECT_EQ(ReadExactly(*file, 100000),
                ftp.server().ReadServedFile(kSetupServed, offset, 100000));
      file->Close(how);
      ASSERT_TRUE(connection->SetCurrentDirectory(kSetupDir));
      EXPECT_TRUE(StartsWith(InternetGetLastResponseInfo(), "250"))
          << InternetGetLastResponseInfo();
    }
  }
}

TEST_P(EveryServer, RefusedRetrievalThrowsWithTheReplyAndKeepsTheConnection) {
  FtpLayer ftp(WithFiles(GetParam(), {{kSetupServed, 10}}));
  auto connection = ftp.Connect();
  EXPECT_EQ(ErrorOf([&] { delete connection->OpenFile("/manual/missing.exe"); }),
            kErrorExtendedError);
  EXPECT_TRUE(StartsWith(InternetGetLastResponseInfo(), "550")) << InternetGetLastResponseInfo();
  std::unique_ptr<CInternetFile> file(connection->OpenFile(kSetupPath));
  EXPECT_EQ(ReadAll(*file).size(), 10u);
}

TEST_P(EveryServer, RefusedLoginIsAnIncorrectPassword) {
  ServerOptions options = WithFiles(GetParam(), {});
  options.anonymous = false;
  FtpLayer ftp(options);
  try {
    ftp.Connect();
    FAIL() << "logged in";
  } catch (const CInternetException& error) {
    EXPECT_EQ(error.m_dwError, kErrorIncorrectPassword);
    EXPECT_EQ(error.GetErrorMessage(), InternetErrorMessage(kErrorIncorrectPassword));
    EXPECT_TRUE(error.m_bLoginRefused);
  }
}

// However the server turns away one connection too many (421, or 530 from proftpd), the login
// says it was refused, so that a caller with other connections open can wait for a free place.
TEST_P(EveryServer, ALoginOverTheServersLimitIsRefused) {
  ServerOptions options = WithFiles(GetParam(), {});
  options.maxConnectionsPerAddress = 1;
  FtpLayer ftp(options);
  auto first = ftp.Connect();
  try {
    ftp.Connect();
    FAIL() << "logged in beyond the limit";
  } catch (const CInternetException& error) {
    EXPECT_TRUE(error.m_bLoginRefused) << error.m_dwError << " " << InternetGetLastResponseInfo();
  }
}

TEST(FtpLogin, AConnectionClosedBeforeTheGreetingIsARefusedLogin) {
  testsupport::LoopbackListener listener;
  std::thread server([&] {
    // Some servers at their limit take the connection and close it without a word.
    if (auto stream = listener.Accept(std::chrono::milliseconds(kTimeoutMs))) {
      stream->HangUpAndWait(std::chrono::milliseconds(kTimeoutMs));
    }
  });
  CInternetSession session;
  try {
    delete session.GetFtpConnection("127.0.0.1", "", "", listener.port(), true);
    ADD_FAILURE() << "logged in";
  } catch (const CInternetException& error) {
    EXPECT_TRUE(error.m_bLoginRefused) << error.m_dwError;
  }
  server.join();
}

ServerOptions PyftpdlibWith(std::vector<std::string> faults, int64_t size = kSetupSize) {
  ServerOptions options = WithFiles(ServerKind::Pyftpdlib, {{kSetupServed, size}});
  options.faults = std::move(faults);
  return options;
}

TEST(FtpCommand, GoesOutAsExactlyOneCrlfLine) {
  FtpLayer ftp(PyftpdlibWith({}));
  auto connection = ftp.Connect();
  EXPECT_TRUE(connection->Command("REST 5\n"));
  EXPECT_TRUE(connection->Command("REST 6\r\n"));
  EXPECT_FALSE(connection->Command("REST 7\r\nDELE x"));  // never two commands
  EXPECT_FALSE(connection->Command("NOOP\rDELE x"));
  EXPECT_FALSE(connection->SetCurrentDirectory("/\r\nDELE x"));
  EXPECT_EQ(connection->OpenFile("x\nDELE x"), nullptr);

  std::vector<std::string> log = ftp.server().CommandLog();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[log.size() - 2], "REST 5");
  EXPECT_EQ(log[log.size() - 1], "REST 6");
  EXPECT_EQ(log[0], "USER anonymous");
}

TEST(FtpCommand, ReportsARefusedRestart) {
  FtpLayer ftp(PyftpdlibWith({"refuse-rest"}));
  auto connection = ftp.Connect();
  EXPECT_FALSE(connection->Command("REST 100\n"));
  EXPECT_TRUE(StartsWith(InternetGetLastResponseInfo(), "502")) << InternetGetLastResponseInfo();
}

TEST(FtpTransferFaults, FailedTransferGivesTheBytesThenTheEndAndKeepsTheReply) {
  FtpLayer ftp(PyftpdlibWith({"drop-data-after=10000"}));
  auto connection = ftp.Connect();
  std::unique_ptr<CInternetFile> file(connection->OpenFile(kSetupPath));
  EXPECT_EQ(ReadAll(*file), ftp.server().ReadServedFile(kSetupServed, 0, 10000));
  EXPECT_TRUE(StartsWith(InternetGetLastResponseInfo(), "426")) << InternetGetLastResponseInfo();
  file.reset();
  EXPECT_TRUE(connection->SetCurrentDirectory(kSetupDir));  // still in step
}

TEST(FtpTransferFaults, ShortDataEndsEarlyWithoutError) {
  FtpLayer ftp(PyftpdlibWith({"short-data=100"}));
  auto connection = ftp.Connect();
  std::unique_ptr<CInternetFile> file(connection->OpenFile(kSetupPath));
  EXPECT_EQ(ReadAll(*file).size(), static_cast<size_t>(kSetupSize - 100));
}

TEST(FtpTransferFaults, StalledServerTimesOutWithinTheReceiveTimeOut) {
  FtpLayer ftp(PyftpdlibWith({"stall-after=10000"}));
  ftp.session().SetOption(SessionOption::ReceiveTimeout, 1500);
  auto connection = ftp.Connect();
  std::unique_ptr<CInternetFile> file(connection->OpenFile(kSetupPath));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ErrorOf([&] { ReadAll(*file); }), kErrorTimeout);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
  EXPECT_EQ(InternetErrorMessage(kErrorTimeout), "The operation timed out");
}

TEST(FtpTransferFaults, DataGoesOnlyToTheServerWhateverHostThePassiveReplyNames) {
  // Another loopback address: nothing listens there, and no traffic leaves the machine.
  FtpLayer ftp(PyftpdlibWith({"pasv-address=127.0.0.2"}));
  auto connection = ftp.Connect();
  std::unique_ptr<CInternetFile> file(connection->OpenFile(kSetupPath));
  EXPECT_EQ(ReadAll(*file), ftp.server().ReadServedFile(kSetupServed, 0, kSetupSize));
}

// A reply that never ends holds the caller no longer than the receive time-out, however it
// keeps each receive busy; the server's stream would last about 40 s.
TEST(FtpTransferFaults, AReplyThatNeverEndsTimesOutWithinTheReceiveTimeOut) {
  struct Case {
    const char* fault;
    void (*call)(CFtpConnection&);
  };
  const auto changeDirectory = [](CFtpConnection& connection) {
    connection.SetCurrentDirectory(kSetupDir);
  };
  const auto readTheFile = [](CFtpConnection& connection) {
    std::unique_ptr<CInternetFile> file(connection.OpenFile(kSetupPath));
    ReadAll(*file);
  };
  const Case cases[] = {
      {"trickle-reply=CWD", changeDirectory},
      {"endless-preliminary", readTheFile},
      {"endless-blank-lines", readTheFile},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    FtpLayer ftp(PyftpdlibWith({c.fault}, 100000));
    ftp.session().SetOption(SessionOption::ReceiveTimeout, 1500);
    auto connection = ftp.Connect();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ErrorOf([&] { c.call(*connection); }), kErrorTimeout);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_EQ(ErrorOf([&] { connection->Command("NOOP"); }), kErrorConnectionAborted)
        << "the rest of that reply would answer the next command";
  }
}

TEST(FtpTransferFaults, AHugeListingLineIsSkippedInBoundedMemory) {
  // Just within what a listing may hold; splitting it into words would take hundreds of MiB.
  constexpr int64_t kLineBytes = 16 * 1024 * 1024 - 4096;
  constexpr int64_t kMemoryBound = 8 * 1024 * 1024;
  FtpLayer ftp(PyftpdlibWith({"listing-line=" + std::to_string(kLineBytes)}));
  auto connection = ftp.Connect();
  ASSERT_TRUE(connection->SetCurrentDirectory(kSetupDir));
  const int64_t peakBefore = testsupport::PeakMemoryBytes();
  const auto entries = Walk(*connection, "Setup.exe");
  EXPECT_LT(testsupport::PeakMemoryBytes() - peakBefore, kMemoryBound);
  ASSERT_EQ(entries.size(), 1u) << "the entry after the huge line";
  EXPECT_EQ(entries[0].second, kSetupSize);
}

// Closing from another thread must release a read that would otherwise wait for the full
// (long) receive time-out.
class CloseFromAnotherThread : public ::testing::TestWithParam<bool> {};

INSTANTIATE_TEST_SUITE_P(ClosingWhat, CloseFromAnotherThread, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& closing) {
                           return closing.param ? "Session" : "Connection";
                         });

TEST_P(CloseFromAnotherThread, BreaksABlockedReadAsCancelled) {
  const bool closeSession = GetParam();
  FtpLayer ftp(PyftpdlibWith({"stall-after=10000"}));
  auto connection = ftp.Connect();
  std::unique_ptr<CInternetFile> file(connection->OpenFile(kSetupPath));
  std::thread closer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    if (closeSession) {
      ftp.session().Close();
    } else {
      connection->Close();
    }
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ErrorOf([&] { ReadAll(*file); }), kErrorOperationCancelled);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(kTimeoutMs / 2));
  closer.join();

  file.reset();  // closing after the abort must neither block nor throw
  EXPECT_EQ(ErrorOf([&] { connection->Command("NOOP"); }), kErrorOperationCancelled);
  if (closeSession) {
    EXPECT_EQ(ErrorOf([&] { ftp.Connect(); }), kErrorOperationCancelled);
  }
}

TEST(FtpLifetime, ConnectionsAndFilesOutliveWhatTheyCameFrom) {
  FtpServer server(PyftpdlibWith({}));
  auto session = std::make_unique<CInternetSession>();
  std::unique_ptr<CFtpConnection> connection(
      session->GetFtpConnection("127.0.0.1", "", "", server.port(), true));
  std::unique_ptr<CInternetFile> file(connection->OpenFile(kSetupPath));
  unsigned char byte;
  ASSERT_EQ(file->Read(&byte, 1), 1u);

  connection.reset();  // closes the connection: the open file is broken with it
  EXPECT_EQ(ErrorOf([&] { ReadAll(*file); }), kErrorOperationCancelled);
  file.reset();

  connection.reset(session->GetFtpConnection("127.0.0.1", "", "", server.port(), true));
  session.reset();  // closes the session: its connection fails from now on
  EXPECT_EQ(ErrorOf([&] { connection->SetCurrentDirectory("/"); }), kErrorOperationCancelled);
}

// A port that nothing listens on any more. Under Wine the fixture may return a moment before the
// stopped server's port is closed, so wait (generously) until a connection is no longer taken.
uint16_t PortOfStoppedServer() {
  uint16_t port = 0;
  {
    FtpServer server(ServerOptions{});
    port = server.port();
  }
  for (int attempt = 0; attempt < 300; ++attempt) {
    try {
      Socket probe;
      probe.Connect("127.0.0.1", port, kTimeoutMs);
    } catch (const CInternetException&) {
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return port;
}

TEST(FtpLogin, ClosedPortCannotConnect) {
  const uint16_t closedPort = PortOfStoppedServer();
  CInternetSession session;
  try {
    delete session.GetFtpConnection("127.0.0.1", "", "", closedPort, true);
    FAIL() << "connected";
  } catch (const CInternetException& error) {
    EXPECT_EQ(error.m_dwError, kErrorCannotConnect);
    EXPECT_EQ(error.GetErrorMessage(), "A connection with the server could not be established");
    EXPECT_FALSE(error.m_bLoginRefused) << "no server, so nobody refused";
  }
}

}  // namespace
}  // namespace net
