#pragma once

// Runs CDownloadThread workers against a test FTP server and records what they post.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/download_thread.h"
#include "engine/messages.h"
#include "platform/message_target.h"
#include "support/ftp_server.h"

namespace enginetest {

constexpr char kServerDir[] = "/manual/vm/Clients/";
constexpr char kFileName[] = "Setup_Vellomarch_1.11.exe";
constexpr char kServedPath[] = "manual/vm/Clients/Setup_Vellomarch_1.11.exe";

// A server with the installer of the given size under the product's directory.
testsupport::ServerOptions InstallerServer(testsupport::ServerKind kind, int64_t size,
                                           std::vector<std::string> faults = {});

struct PostedMessage {
  uint32_t message;
  CDownloadThread* worker;
  intptr_t lParam;
};

// Stands in for the main window: a message target on the test's thread that records every
// message the workers post to it.
class WorkerHarness {
 public:
  WorkerHarness();

  // A worker filled the way the window launches one, for the local server.
  std::unique_ptr<CDownloadThread> MakeWorker(uint16_t port, int32_t index, int64_t start,
                                              int32_t length,
                                              const std::string& fileName = kFileName);
  // Fills a worker made by the test (of a derived class) the same way; false when no thread.
  bool Prepare(CDownloadThread& worker, uint16_t port, int32_t index, int64_t start, int32_t length,
               const std::string& fileName = kFileName);
  // Starts the worker and pumps messages until its thread has ended (false on time-out).
  bool Run(CDownloadThread& worker, uint32_t timeoutMs = 120000);
  // A size probe for the file, run to its end; nullptr when it could not be run.
  std::unique_ptr<CDownloadThread> RunProbe(uint16_t port, const std::string& fileName = kFileName);

  std::vector<PostedMessage> MessagesOf(uint32_t message) const;
  std::vector<int32_t> ByteCounts() const;

 private:
  std::vector<PostedMessage> posted_;
  platform::MessageTarget target_;
};

// The segment's bytes as the worker holds them.
std::vector<unsigned char> SegmentBytes(const CDownloadThread& worker);

}  // namespace enginetest
