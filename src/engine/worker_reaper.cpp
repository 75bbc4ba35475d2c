#include "engine/worker_reaper.h"

namespace {

// The reaper's own target receives nothing else, so any numbers do.
constexpr uint32_t kReapMessage = 0x0401;  // wParam: the retired worker
constexpr uint32_t kPollTimer = 1;
// How soon a thread that was still ending when its worker was retired is looked at again.
constexpr uint32_t kPollPeriodMs = 50;

}  // namespace

CWorkerReaper::CWorkerReaper()
    : m_target(
          [this](uint32_t message, uintptr_t wParam, intptr_t) { OnMessage(message, wParam); }) {}

CWorkerReaper::~CWorkerReaper() {
  m_target.KillTimer(kPollTimer);
  m_retired.clear();  // each worker's destructor waits for its thread
}

void CWorkerReaper::Retire(CDownloadThread* worker) {
  if (worker == nullptr) {
    return;
  }
  m_retired.push_back({std::unique_ptr<CDownloadThread>(worker), false});
  PostReapsForEndedThreads();
}

void CWorkerReaper::OnMessage(uint32_t message, uintptr_t wParam) {
  if (message == kReapMessage) {
    Free(wParam);
  } else if (message == platform::kTimerMessage && wParam == kPollTimer) {
    PostReapsForEndedThreads();
  }
}

void CWorkerReaper::PostReapsForEndedThreads() {
  bool threadsStillEnding = false;
  for (Retired& retired : m_retired) {
    if (retired.reapPosted) {
      continue;
    }
    // The thread signals m_hFinished after its last post, so the reap message lands behind
    // every message of the worker.
    if (retired.worker->m_hFinished.IsSet()) {
      retired.reapPosted =
          m_target.Post(kReapMessage, reinterpret_cast<uintptr_t>(retired.worker.get()), 0);
    }
    threadsStillEnding = threadsStillEnding || !retired.reapPosted;
  }
  if (threadsStillEnding != m_bPolling) {
    m_bPolling = threadsStillEnding;
    if (m_bPolling) {
      m_target.SetTimer(kPollTimer, kPollPeriodMs);
    } else {
      m_target.KillTimer(kPollTimer);
    }
  }
}

void CWorkerReaper::Free(uintptr_t worker) {
  for (auto retired = m_retired.begin(); retired != m_retired.end(); ++retired) {
    if (reinterpret_cast<uintptr_t>(retired->worker.get()) == worker && retired->reapPosted) {
      m_retired.erase(retired);
      return;
    }
  }
}
