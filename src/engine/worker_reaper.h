#pragma once

#include <cstdint>
#include <list>
#include <memory>

#include "engine/download_thread.h"
#include "platform/message_target.h"

// Frees stopped workers without making the window's thread wait for their threads, and never
// before every message they posted has been handled. A retired worker is freed when a reap
// message, posted only after its thread had ended, comes back through the thread's queue:
// posted messages arrive in order, so the worker's own messages have all been handled by then.
// Until that moment a late message naming the worker still names a live object, and no new
// worker can be given its address.
//
// Window's thread only. The reaper posts to a message target of its own, created on that thread,
// which shares the thread's queue with the window's target that the workers post to.
class CWorkerReaper {
 public:
  CWorkerReaper();
  // Frees whatever is still retired, waiting for threads that have not ended yet (teardown: they
  // have been stopped, so they end promptly).
  ~CWorkerReaper();
  CWorkerReaper(const CWorkerReaper&) = delete;
  CWorkerReaper& operator=(const CWorkerReaper&) = delete;

  // Takes ownership of a worker that has been stopped, or whose thread has ended.
  void Retire(CDownloadThread* worker);
  // Workers taken but not yet freed.
  size_t RetiredCount() const { return m_retired.size(); }

 private:
  struct Retired {
    std::unique_ptr<CDownloadThread> worker;
    bool reapPosted = false;
  };

  void OnMessage(uint32_t message, uintptr_t wParam);
  // Posts the reap message of every retired worker whose thread has ended, and keeps the poll
  // timer running while some thread has not.
  void PostReapsForEndedThreads();
  void Free(uintptr_t worker);

  std::list<Retired> m_retired;
  bool m_bPolling = false;
  // Last, so it goes first: no message reaches a half-destroyed reaper.
  platform::MessageTarget m_target;
};
