#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "support/ftp_server.h"
#include "support/loopback_socket.h"

namespace testsupport {
namespace {

constexpr std::chrono::seconds kReplyTimeout(20);
constexpr std::chrono::milliseconds kSlice(100);

// Just enough FTP to check what the servers greet with and serve, independent of src/net.
class FtpClient {
 public:
  explicit FtpClient(uint16_t port) : control_(LoopbackStream::Connect(port)) {}

  // One whole reply, multi-line ones included ("123-..." up to "123 ..."); what follows it
  // (a reply that came in the same packet) stays for the next call.
  std::string Reply() {
    size_t length;
    WithinTimeout([&] {
      length = ReplyLength();
      if (length == 0 && !control_->Receive(kSlice, buffer_)) {
        throw std::runtime_error("control connection closed after \"" + buffer_ + "\"");
      }
      return length != 0;
    });
    std::string reply = buffer_.substr(0, length);
    buffer_.erase(0, length);
    return reply;
  }

  std::string Command(const std::string& line) {
    control_->Send(line + "\r\n");
    return Reply();
  }

  void WaitUntilServerCloses() {
    WithinTimeout([&] { return !control_->Receive(kSlice, buffer_); });
  }

  void LogIn() {
    ASSERT_EQ(Reply().substr(0, 3), "220");
    std::string afterUser = Command("USER anonymous");
    if (afterUser.rfind("331", 0) == 0) {
      afterUser = Command("PASS guest@");
    }
    ASSERT_EQ(afterUser.substr(0, 3), "230");  // vsftpd needs no password
    ASSERT_EQ(Command("TYPE I").substr(0, 3), "200");
  }

  struct Transfer {
    std::string bytes;
    std::string finalReply;
  };

  Transfer Retrieve(const std::string& path) {
    std::string passive = Command("PASV");
    unsigned h1, h2, h3, h4, p1, p2;
    if (std::sscanf(passive.c_str(), "227 %*[^(](%u,%u,%u,%u,%u,%u)", &h1, &h2, &h3, &h4, &p1,
                    &p2) != 6) {
      throw std::runtime_error("no passive address in " + passive);
    }
    auto data = LoopbackStream::Connect(static_cast<uint16_t>(p1 * 256 + p2));
    std::string opening = Command("RETR " + path);
    EXPECT_TRUE(opening.rfind("150", 0) == 0 || opening.rfind("125", 0) == 0) << opening;
    Transfer transfer;
    WithinTimeout([&] { return !data->Receive(kSlice, transfer.bytes); });
    data.reset();  // proftpd holds its final reply until the client has closed its side
    transfer.finalReply = Reply();
    return transfer;
  }

 private:
  size_t ReplyLength() const {
    size_t start = 0;
    for (size_t end; (end = buffer_.find("\r\n", start)) != std::string::npos; start = end + 2) {
      if (end - start >= 4 && buffer_.compare(start, 3, buffer_, 0, 3) == 0 &&
          buffer_[start + 3] == ' ') {
        return end + 2;
      }
    }
    return 0;
  }

  template <typename Done>
  static void WithinTimeout(Done done) {
    auto deadline = std::chrono::steady_clock::now() + kReplyTimeout;
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) {
        throw std::runtime_error("no answer from the test server");
      }
    }
  }

  std::unique_ptr<LoopbackStream> control_;
  std::string buffer_;
};

std::string AsString(const std::vector<unsigned char>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

class EveryServerKind : public ::testing::TestWithParam<ServerKind> {};

TEST_P(EveryServerKind, ServesTheBytesTheFixtureReads) {
  const int64_t kSize = 300000;
  const int64_t kHuge = int64_t{5} << 30;  // past 32-bit offsets, as a hole
  ServerOptions options;
  options.kind = GetParam();
  options.files = {{"manual/vm/Clients/Setup.exe", kSize}, {"huge.bin", kHuge, true}};
  FtpServer server(options);

  FtpClient client(server.port());
  client.LogIn();
  FtpClient::Transfer transfer = client.Retrieve("manual/vm/Clients/Setup.exe");
  EXPECT_EQ(transfer.finalReply.substr(0, 3), "226");
  const std::string& served = transfer.bytes;

  std::vector<unsigned char> whole = server.ReadServedFile("manual/vm/Clients/Setup.exe", 0, kSize);
  EXPECT_EQ(served, AsString(whole));
  EXPECT_NE(std::count(whole.begin(), whole.end(), 0), kSize) << "random bytes expected";
  EXPECT_EQ(AsString(server.ReadServedFile("manual/vm/Clients/Setup.exe", 1000, 24)),
            served.substr(1000, 24));
  EXPECT_EQ(server.ReadServedFile("huge.bin", kHuge - 8, 8), std::vector<unsigned char>(8, 0));
  EXPECT_THROW(server.ReadServedFile("huge.bin", kHuge - 8, 9), std::runtime_error);
}

TEST_P(EveryServerKind, RefusesEveryLoginWithoutAnonymous) {
  ServerOptions options;
  options.kind = GetParam();
  options.anonymous = false;
  FtpServer server(options);

  FtpClient client(server.port());
  ASSERT_EQ(client.Reply().substr(0, 3), "220");
  std::string afterUser = client.Command("USER anonymous");
  if (afterUser.rfind("331", 0) == 0) {
    EXPECT_EQ(client.Command("PASS guest@").substr(0, 3), "530");
  } else {
    EXPECT_EQ(afterUser.substr(0, 3), "530");
  }
}

INSTANTIATE_TEST_SUITE_P(FtpServer, EveryServerKind,
                         ::testing::Values(ServerKind::Vsftpd, ServerKind::Pyftpdlib,
                                           ServerKind::Proftpd),
                         [](const ::testing::TestParamInfo<ServerKind>& kind) {
                           switch (kind.param) {
                             case ServerKind::Vsftpd:
                               return "Vsftpd";
                             case ServerKind::Proftpd:
                               return "Proftpd";
                             case ServerKind::Pyftpdlib:
                               break;
                           }
                           return "Pyftpdlib";
                         });

TEST(FtpServer, LogsCommandsAndConnectionsAndPlaysFaults) {
  ServerOptions options;
  options.files = {{"file.bin", 1000}};
  options.faults = {"refuse-rest-once", "short-data=10"};
  FtpServer server(options);

  FtpClient first(server.port());
  first.LogIn();
  EXPECT_EQ(first.Command("REST 100").substr(0, 3), "502");
  EXPECT_EQ(first.Command("REST 100").substr(0, 3), "350");
  FtpClient::Transfer shortened = first.Retrieve("file.bin");
  EXPECT_EQ(shortened.bytes, AsString(server.ReadServedFile("file.bin", 100, 890)));
  EXPECT_EQ(shortened.finalReply.substr(0, 3), "226");
  FtpClient second(server.port());
  second.LogIn();

  EXPECT_EQ(server.ConnectionCount(), 2);
  std::vector<std::string> expected = {
      "USER anonymous", "PASS guest@",   "TYPE I",         "REST 100",    "REST 100",
      "PASV",           "RETR file.bin", "USER anonymous", "PASS guest@", "TYPE I"};
  EXPECT_EQ(server.CommandLog(), expected);
}

TEST(FtpServer, DropsTheDataConnectionAsScripted) {
  ServerOptions options;
  options.files = {{"file.bin", 100000}};
  options.faults = {"drop-data-after=4096"};
  FtpServer server(options);

  FtpClient client(server.port());
  client.LogIn();
  FtpClient::Transfer dropped = client.Retrieve("file.bin");
  EXPECT_EQ(dropped.bytes, AsString(server.ReadServedFile("file.bin", 0, 4096)));
  EXPECT_EQ(dropped.finalReply.substr(0, 3), "426");
  // A transfer that ends before the drop point is not touched.
  ASSERT_EQ(client.Command("REST 97000").substr(0, 3), "350");
  EXPECT_EQ(client.Retrieve("file.bin").finalReply.substr(0, 3), "226");
}

TEST(FtpServer, RefusesConnectionsOverTheLimitAndClosesIdleOnes) {
  ServerOptions options;
  options.maxConnectionsPerAddress = 1;
  options.faults = {"idle-timeout=1"};
  FtpServer server(options);

  FtpClient first(server.port());
  first.LogIn();
  EXPECT_EQ(FtpClient(server.port()).Reply().substr(0, 3), "421");
  EXPECT_EQ(first.Reply().substr(0, 3), "421") << "idle for a second";
  first.WaitUntilServerCloses();
  EXPECT_EQ(FtpClient(server.port()).Reply().substr(0, 3), "220") << "a place is free again";
}

TEST(FtpServer, ReportsWhyItCannotStart) {
  ServerOptions options;
  options.kind = ServerKind::Vsftpd;
  options.faults = {"refuse-rest"};
  try {
    FtpServer server(options);
    FAIL() << "started";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("--fault needs --kind pyftpdlib"), std::string::npos)
        << error.what();
  }
}

TEST(FtpServer, IsGoneWithItsObjectWhileOthersRun) {
  auto first = std::make_unique<FtpServer>(ServerOptions{});
  FtpServer second(ServerOptions{});
  uint16_t firstPort = first->port();
  first.reset();

  EXPECT_THROW(LoopbackStream::Connect(firstPort), std::runtime_error);
  EXPECT_EQ(FtpClient(second.port()).Reply().substr(0, 3), "220");
}

}  // namespace
}  // namespace testsupport
