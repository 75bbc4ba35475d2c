#pragma once

#include <cstdint>
#include <memory>

namespace platform {

enum class ThreadPriority { Normal, AboveNormal };

// The base of a worker thread object, after the application framework's thread class:
// CreateThread makes the thread held (it does not run yet); the first ResumeThread lets it run
// InitInstance on the new thread, then ExitInstance when InitInstance returned false, then Delete.
// The object must outlive its thread: a derived destructor calls WaitForThreadEnd first.
class CWinThread {
 public:
  CWinThread();
  virtual ~CWinThread();
  CWinThread(const CWinThread&) = delete;
  CWinThread& operator=(const CWinThread&) = delete;

  // Creates the thread held. False when the system refuses a thread.
  bool CreateThread();
  // Creates the thread and lets it run at once. False when the system refuses a thread.
  bool StartThread() {
    if (!CreateThread()) {
      return false;
    }
    ResumeThread();
    return true;
  }
  // Lets a held thread run. Returns the previous suspend count: 1 for a held thread, 0 when it
  // was already running or has ended. 0xFFFFFFFF when no thread was created.
  uint32_t ResumeThread();
  bool SetThreadPriority(ThreadPriority priority);
  bool IsThreadCreated() const;
  // Blocks until the thread has ended (at once when none was created). A thread that is still
  // held is released without running InitInstance.
  void WaitForThreadEnd();

  virtual bool InitInstance() = 0;
  virtual int ExitInstance() { return 0; }
  // Runs last on the thread. The framework's version frees the object when m_bAutoDelete is
  // set; here objects are always freed by their owner, so it does nothing.
  virtual void Delete() {}

  bool m_bAutoDelete = false;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
