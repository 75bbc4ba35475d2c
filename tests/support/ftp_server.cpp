#include "support/ftp_server.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "support/loopback_socket.h"
#include "support/process.h"

namespace testsupport {
namespace {

constexpr const char* kPython = "/usr/bin/python3";
constexpr const char* kConnectMarker = "#CONNECT";  // written by the script per connection
// Generous: a loaded machine running sanitized builds in parallel starts python slowly.
constexpr std::chrono::seconds kStartTimeout(30);
constexpr std::chrono::seconds kStopTimeout(15);
constexpr std::chrono::milliseconds kPollSlice(200);

const char* KindName(ServerKind kind) {
  switch (kind) {
    case ServerKind::Vsftpd:
      return "vsftpd";
    case ServerKind::Proftpd:
      return "proftpd";
    case ServerKind::Pyftpdlib:
      break;
  }
  return "pyftpdlib";
}

std::vector<std::string> ScriptCommand(const ServerOptions& options, uint16_t lifelinePort) {
  std::vector<std::string> command = {kPython,      MORAVENT_FTP_SERVERS_SCRIPT,
                                      "--lifeline", std::to_string(lifelinePort),
                                      "--kind",     KindName(options.kind)};
  for (const ServedFile& file : options.files) {
    command.push_back(file.sparse ? "--sparse" : "--file");
    command.push_back(file.path + ":" + std::to_string(file.size));
  }
  for (const ServedLink& link : options.links) {
    command.push_back("--symlink");
    command.push_back(link.path + ":" + link.target);
  }
  for (const std::string& directory : options.directories) {
    command.push_back("--dir");
    command.push_back(directory);
  }
  if (options.maxRatePerConnection > 0) {
    command.push_back("--max-rate");
    command.push_back(std::to_string(options.maxRatePerConnection));
  }
  if (options.maxConnectionsPerAddress > 0) {
    command.push_back("--max-per-address");
    command.push_back(std::to_string(options.maxConnectionsPerAddress));
  }
  if (!options.anonymous) {
    command.push_back("--no-anonymous");
  }
  for (const std::string& fault : options.faults) {
    command.push_back("--fault");
    command.push_back(fault);
  }
  return command;
}

std::string Describe(const ServerOptions& options) {
  return std::string("FTP test server (") + KindName(options.kind) + ")";
}

std::vector<std::string> CompleteLines(const std::string& unixPath) {
  std::ifstream file(LocalPathOfUnixPath(unixPath), std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  std::vector<std::string> lines;
  std::string line;
  // A last line without its end is still being written: it is not there yet.
  while (std::getline(content, line) && !content.eof()) {
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

struct FtpServer::Impl {
  explicit Impl(const ServerOptions& options);
  // Waits for the server's first line, watching the child meanwhile; throws on failure.
  std::string ReceiveFirstLine();
  [[noreturn]] void Fail(const std::string& reason) const;

  ServerOptions options;
  LoopbackListener listener;
  std::unique_ptr<ChildProcess> child;
  std::chrono::steady_clock::time_point deadline;
  std::unique_ptr<LoopbackStream> lifeline;
  uint16_t port = 0;
  std::string root;
  std::string commandLogPath;
};

FtpServer::Impl::Impl(const ServerOptions& serverOptions)
    : options(serverOptions),
      child(std::make_unique<ChildProcess>(ScriptCommand(options, listener.port()))),
      deadline(std::chrono::steady_clock::now() + kStartTimeout) {
  std::istringstream ready(ReceiveFirstLine());
  std::string word;
  ready >> word;
  if (word == "ERROR") {
    std::string reason;
    std::getline(ready >> std::ws, reason);
    Fail(reason);
  }
  ready >> port >> root >> commandLogPath;
  if (word != "READY" || ready.fail() || port == 0) {
    Fail("unexpected first line \"" + ready.str() + "\"");
  }
}

std::string FtpServer::Impl::ReceiveFirstLine() {
  std::string received;
  for (;;) {
    if (std::chrono::steady_clock::now() > deadline) {
      Fail("no answer within " + std::to_string(kStartTimeout.count()) + " s");
    }
    int status = 0;
    if (!lifeline) {
      if (child->HasExited(status)) {
        Fail("the script ended with status " + std::to_string(status) +
             " (its messages are above)");
      }
      lifeline = listener.Accept(kPollSlice);
      continue;
    }
    // Read before asking whether the script has ended: it sends its reason, then ends.
    const bool open = lifeline->Receive(kPollSlice, received);
    const size_t end = received.find('\n');
    if (end != std::string::npos) {
      return received.substr(0, end);
    }
    if (!open) {
      Fail(child->HasExited(status)
               ? "the script ended with status " + std::to_string(status) + " before it was ready"
               : std::string("the script hung up before it was ready"));
    }
  }
}

void FtpServer::Impl::Fail(const std::string& reason) const {
  throw std::runtime_error(Describe(options) + " did not start: " + reason);
}

FtpServer::FtpServer(const ServerOptions& options) : impl_(std::make_unique<Impl>(options)) {}

FtpServer::~FtpServer() {
  // The script stops the server, removes its root, and only then closes its side.
  impl_->lifeline->HangUpAndWait(kStopTimeout);
  impl_->child->WaitOrKill(kStopTimeout);
}

uint16_t FtpServer::port() const {
  return impl_->port;
}

std::vector<unsigned char> FtpServer::ReadServedFile(const std::string& relativePath,
                                                     int64_t offset, int64_t length) const {
  std::ifstream file(LocalPathOfUnixPath(impl_->root + "/" + relativePath), std::ios::binary);
  std::vector<unsigned char> bytes(static_cast<size_t>(length));
  file.seekg(offset);
  file.read(reinterpret_cast<char*>(bytes.data()), length);
  if (!file || file.gcount() != length) {
    throw std::runtime_error("cannot read " + std::to_string(length) + " bytes at " +
                             std::to_string(offset) + " of served file " + relativePath);
  }
  return bytes;
}

void FtpServer::ReplaceServedFile(const std::string& relativePath, int64_t size) {
  const std::filesystem::path path = LocalPathOfUnixPath(impl_->root + "/" + relativePath);
  const auto replaced = std::filesystem::last_write_time(path);
  std::independent_bits_engine<std::mt19937, 8, unsigned> random(std::random_device{}());
  std::vector<char> bytes(static_cast<size_t>(size));
  std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<char>(random()); });
  std::filesystem::remove(path);
  std::ofstream(path, std::ios::binary).write(bytes.data(), size);
  std::filesystem::last_write_time(path, replaced - std::chrono::hours(24));
}

std::vector<std::string> FtpServer::CommandLog() const {
  std::vector<std::string> commands;
  for (std::string& line : CompleteLines(impl_->commandLogPath)) {
    if (line != kConnectMarker) {
      commands.push_back(std::move(line));
    }
  }
  return commands;
}

int FtpServer::ConnectionCount() const {
  int count = 0;
  for (const std::string& line : CompleteLines(impl_->commandLogPath)) {
    count += line == kConnectMarker ? 1 : 0;
  }
  return count;
}

}  // namespace testsupport
