#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/thread.h"

namespace platform {

// The thread waits at a start gate until ResumeThread opens it; WaitForThreadEnd on a thread
// still at the gate sends it away without running the object's code. CreateThread,
// ResumeThread and WaitForThreadEnd run on the owner's thread.
struct CWinThread::Impl {
  enum class Gate { Held, Open, Cancelled };

  std::mutex lock;  // guards gate; orders the owner's decision before the thread acts on it
  std::condition_variable gateChanged;
  Gate gate = Gate::Held;
  std::thread thread;
  bool created = false;
};

namespace {

void RunThread(CWinThread& self, CWinThread::Impl& impl) {
  {
    std::unique_lock<std::mutex> hold(impl.lock);
    impl.gateChanged.wait(hold, [&impl] { return impl.gate != CWinThread::Impl::Gate::Held; });
    if (impl.gate == CWinThread::Impl::Gate::Cancelled) {
      return;
    }
  }
  if (!self.InitInstance()) {
    self.ExitInstance();
  }
  self.Delete();
}

}  // namespace

CWinThread::CWinThread() : impl_(new Impl) {}

CWinThread::~CWinThread() {
  WaitForThreadEnd();
}

bool CWinThread::CreateThread() {
  if (impl_->created) {
    return false;
  }
  try {
    impl_->thread = std::thread(RunThread, std::ref(*this), std::ref(*impl_));
  } catch (const std::system_error&) {
    return false;
  }
  impl_->created = true;
  return true;
}

uint32_t CWinThread::ResumeThread() {
  if (!impl_->created) {
    return 0xFFFFFFFFu;
  }
  std::lock_guard<std::mutex> hold(impl_->lock);
  if (impl_->gate != Impl::Gate::Held) {
    return 0;
  }
  impl_->gate = Impl::Gate::Open;
  impl_->gateChanged.notify_one();
  return 1;
}

bool CWinThread::SetThreadPriority(ThreadPriority) {
  return impl_->created;
}

bool CWinThread::IsThreadCreated() const {
  return impl_->created;
}

void CWinThread::WaitForThreadEnd() {
  {
    std::lock_guard<std::mutex> hold(impl_->lock);
    if (impl_->gate == Impl::Gate::Held) {
      impl_->gate = Impl::Gate::Cancelled;
      impl_->gateChanged.notify_one();
    }
  }
  if (impl_->thread.joinable()) {
    impl_->thread.join();
  }
}

}  // namespace platform
