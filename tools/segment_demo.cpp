// Runs a size probe against an FTP server and then fetches a few segments of the installer
// (the first one, one from the middle, the last one) in parallel, printing what each did.
//
//   segment_demo HOST PORT

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "engine/download_thread.h"
#include "engine/messages.h"
#include "net/socket.h"
#include "platform/clock.h"
#include "platform/message_target.h"

namespace {

constexpr char kServerDir[] = "/manual/vm/Clients/";
constexpr char kFileName[] = "Setup_Vellomarch_1.11.exe";

std::unique_ptr<CDownloadThread> MakeWorker(const char* host, int port, int32_t index,
                                            int64_t start, int32_t length,
                                            platform::MessageTarget& owner) {
  std::unique_ptr<CDownloadThread> worker(CDownloadThread::CreateObject());
  if (!worker || !worker->CreateThread()) {
    std::fprintf(stderr, "cannot start a worker\n");
    std::exit(2);
  }
  worker->m_nIndex = index;
  worker->m_strFileName = kFileName;
  worker->m_strServerDir = kServerDir;
  worker->m_strHost = host;
  worker->m_nPort = port;
  worker->m_nStart = start;
  worker->m_nLength = length;
  worker->m_nRetryDelaySec = 10;
  worker->m_pOwner = &owner;
  return worker;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s HOST PORT\n", argv[0]);
    return 2;
  }
  const char* host = argv[1];
  const int port = std::atoi(argv[2]);
  net::InitSockets();

  int64_t bytesReported = 0;
  int probesDone = 0;
  platform::MessageTarget owner([&](uint32_t message, uintptr_t, intptr_t lParam) {
    if (message == WM_WORKER_BYTES) {
      bytesReported += lParam;
    } else if (message == WM_WORKER_DONE) {
      ++probesDone;
    }
  });

  uint32_t begin = platform::TickCount();
  auto probe = MakeWorker(host, port, -1, 0, 0, owner);
  probe->ResumeWorker();
  platform::WaitWithPump(probe->m_hFinished, platform::kInfinite);
  platform::PumpMessages();
  const int64_t size = probe->m_nStart;
  std::printf("size probe: %s, %" PRId64 " bytes, %d report(s), %u ms\n",
              probe->GetStatus().c_str(), size, probesDone, platform::TickCount() - begin);
  if (size < 1) {
    return 1;
  }

  struct Plan {
    int32_t index;
    int64_t start;
  };
  const int64_t segments = (size + SEGMENT_SIZE - 1) / SEGMENT_SIZE;
  const std::vector<Plan> plans = {
      {0, 0},
      {static_cast<int32_t>(segments / 2), segments / 2 * SEGMENT_SIZE},
      {static_cast<int32_t>(segments - 1), (segments - 1) * SEGMENT_SIZE}};

  begin = platform::TickCount();
  std::vector<std::unique_ptr<CDownloadThread>> workers;
  for (const Plan& plan : plans) {
    const int64_t left = size - plan.start;
    const int32_t length = static_cast<int32_t>(left < SEGMENT_SIZE ? left : SEGMENT_SIZE);
    workers.push_back(MakeWorker(host, port, plan.index, plan.start, length, owner));
    workers.back()->ResumeWorker();
  }
  for (auto& worker : workers) {
    platform::WaitWithPump(worker->m_hFinished, platform::kInfinite);
  }
  platform::PumpMessages();
  const uint32_t elapsed = platform::TickCount() - begin;

  bool allComplete = true;
  for (const auto& worker : workers) {
    std::printf("segment %d at offset %" PRId64 ": %s, %d of %d bytes%s\n", worker->m_nIndex,
                worker->m_nStart, worker->GetStatus().c_str(), worker->m_nGot, worker->m_nLength,
                worker->m_bComplete.load() ? ", complete" : "");
    allComplete = allComplete && worker->m_bComplete.load() != 0;
  }
  std::printf("%" PRId64 " bytes reported in %u ms\n", bytesReported, elapsed);
  return allComplete ? 0 : 1;
}
