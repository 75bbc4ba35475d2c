#include <windows.h>

#include <process.h>

#include <atomic>

#include "platform/thread.h"

namespace platform {

// The thread is created suspended. WaitForThreadEnd on a thread that was never resumed marks it
// cancelled and resumes it, and the thread then leaves without running the object's code.
// CreateThread, ResumeThread and WaitForThreadEnd run on the owner's thread.
struct CWinThread::Impl {
  explicit Impl(CWinThread& owner) : self(owner) {}

  CWinThread& self;
  HANDLE handle = nullptr;
  bool resumed = false;
  // Stored before the resume that lets the thread run, read by the thread first thing.
  std::atomic<bool> cancelled{false};
};

namespace {

unsigned __stdcall RunThread(void* argument) {
  auto& impl = *static_cast<CWinThread::Impl*>(argument);
  if (impl.cancelled.load(std::memory_order_acquire)) {
    return 0;
  }
  if (!impl.self.InitInstance()) {
    impl.self.ExitInstance();
  }
  impl.self.Delete();
  return 0;
}

int ToWin32Priority(ThreadPriority priority) {
  return priority == ThreadPriority::AboveNormal ? THREAD_PRIORITY_ABOVE_NORMAL
                                                 : THREAD_PRIORITY_NORMAL;
}

}  // namespace

CWinThread::CWinThread() : impl_(new Impl(*this)) {}

CWinThread::~CWinThread() {
  WaitForThreadEnd();
  if (impl_->handle != nullptr) {
    CloseHandle(impl_->handle);
  }
}

bool CWinThread::CreateThread() {
  if (impl_->handle != nullptr) {
    return false;
  }
  // The C runtime's thread start, since the thread's code uses the C runtime.
  const uintptr_t handle =
      _beginthreadex(nullptr, 0, RunThread, impl_.get(), CREATE_SUSPENDED, nullptr);
  impl_->handle = reinterpret_cast<HANDLE>(handle);
  return impl_->handle != nullptr;
}

uint32_t CWinThread::ResumeThread() {
  if (impl_->handle == nullptr) {
    return 0xFFFFFFFFu;
  }
  impl_->resumed = true;
  const DWORD previous = ::ResumeThread(impl_->handle);
  // A thread that has ended cannot be resumed; it counts as running, not as an error.
  return previous == static_cast<DWORD>(-1) ? 0 : previous;
}

bool CWinThread::SetThreadPriority(ThreadPriority priority) {
  return impl_->handle != nullptr &&
         ::SetThreadPriority(impl_->handle, ToWin32Priority(priority)) != FALSE;
}

bool CWinThread::IsThreadCreated() const {
  return impl_->handle != nullptr;
}

void CWinThread::WaitForThreadEnd() {
  if (impl_->handle == nullptr) {
    return;
  }
  if (!impl_->resumed) {
    impl_->cancelled.store(true, std::memory_order_release);
    impl_->resumed = true;
    ::ResumeThread(impl_->handle);
  }
  WaitForSingleObject(impl_->handle, INFINITE);
}

}  // namespace platform
