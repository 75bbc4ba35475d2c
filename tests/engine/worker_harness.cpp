#include "worker_harness.h"

#include <utility>

namespace enginetest {

testsupport::ServerOptions InstallerServer(testsupport::ServerKind kind, int64_t size,
                                           std::vector<std::string> faults) {
  testsupport::ServerOptions options;
  options.kind = kind;
  options.files.push_back({kServedPath, size, false});
  options.faults = std::move(faults);
  return options;
}

WorkerHarness::WorkerHarness()
    : target_([this](uint32_t message, uintptr_t wParam, intptr_t lParam) {
        posted_.push_back({message, reinterpret_cast<CDownloadThread*>(wParam), lParam});
      }) {}

std::unique_ptr<CDownloadThread> WorkerHarness::MakeWorker(uint16_t port, int32_t index,
                                                           int64_t start, int32_t length,
                                                           const std::string& fileName) {
  std::unique_ptr<CDownloadThread> worker(CDownloadThread::CreateObject());
  if (!worker || !Prepare(*worker, port, index, start, length, fileName)) {
    return nullptr;
  }
  return worker;
}

bool WorkerHarness::Prepare(CDownloadThread& worker, uint16_t port, int32_t index, int64_t start,
                            int32_t length, const std::string& fileName) {
  if (!worker.CreateThread()) {
    return false;
  }
  worker.m_nIndex = index;
  worker.m_nGot = 0;
  worker.m_strFileName = fileName;
  worker.m_strServerDir = kServerDir;
  worker.m_strHost = "127.0.0.1";
  worker.m_nPort = port;
  worker.m_nStart = start;
  worker.m_nLength = length;
  worker.m_nAttempts = 1;
  worker.m_nRetryDelaySec = 10;
  worker.m_pOwner = &target_;
  return true;
}

bool WorkerHarness::Run(CDownloadThread& worker, uint32_t timeoutMs) {
  worker.ResumeWorker();
  const bool ended = platform::WaitWithPump(worker.m_hFinished, timeoutMs);
  platform::PumpMessages();  // whatever the worker posted just before it ended
  return ended;
}

std::unique_ptr<CDownloadThread> WorkerHarness::RunProbe(uint16_t port,
                                                         const std::string& fileName) {
  auto probe = MakeWorker(port, -1, 0, 0, fileName);
  if (probe && !Run(*probe)) {
    probe.reset();
  }
  return probe;
}

std::vector<PostedMessage> WorkerHarness::MessagesOf(uint32_t message) const {
  std::vector<PostedMessage> found;
  for (const PostedMessage& posted : posted_) {
    if (posted.message == message) {
      found.push_back(posted);
    }
  }
  return found;
}

std::vector<int32_t> WorkerHarness::ByteCounts() const {
  std::vector<int32_t> counts;
  for (const PostedMessage& posted : posted_) {
    if (posted.message == WM_WORKER_BYTES) {
      counts.push_back(static_cast<int32_t>(posted.lParam));
    }
  }
  return counts;
}

std::vector<unsigned char> SegmentBytes(const CDownloadThread& worker) {
  return std::vector<unsigned char>(worker.m_buffer.get(), worker.m_buffer.get() + worker.m_nGot);
}

}  // namespace enginetest
