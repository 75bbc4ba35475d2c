#include <windows.h>

#include <memory>
#include <new>
#include <optional>
#include <utility>

#include "platform/event_impl_win32.h"
#include "platform/message_target.h"
#include "platform/message_wait.h"
#include "platform/reused_fifo.h"

namespace platform {

namespace {

// A message posted through a target, waiting for its thread to deliver it.
struct Waiting {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

const char kTargetWindowClass[] = "MoraventMessageTarget";
const char kMarkerWindowClass[] = "MoraventPostMarker";
// What a post that wakes the thread puts in the system's queue; the marker window has no other.
constexpr UINT kDeliverWaiting = WM_APP;

// The messages posted through one thread's targets, in posting order. They wait here instead of
// in the system's queue, so that a post can leave the thread asleep (under Wine every system post
// is a round trip to the wineserver, and so is the wake of the thread for it). A post that wakes
// the thread also puts a marker in the system's queue; the thread delivers what waits here when
// it takes a marker, before any tick of its targets' timers, and when it pumps. A timer message
// comes only when no posted message is left in the system's queue, so every message posted before
// a tick is delivered before it, whichever way it was posted.
class ThreadPosts {
 public:
  // The calling thread's, made on first use (as is its marker window).
  static const std::shared_ptr<ThreadPosts>& ForThisThread();
  // Whether the calling thread has any waiting; makes nothing.
  static bool AnyWaitingForThisThread();

  // Any thread. False once the thread has ended or the marker could not be posted.
  bool Add(const Waiting& waiting, bool wakeThread);
  // Owner thread. Drops the waiting messages of a window that goes away.
  void Forget(HWND window);
  // Owner thread. Delivers the messages that wait now, oldest first; those posted meanwhile wait
  // for the next delivery, so a steady flow of posts cannot hold the thread here.
  void DeliverWaiting();
  void Close();

 private:
  bool AnyWaiting();
  std::optional<Waiting> TakeOldest();

  HWND marker_ = nullptr;
  SRWLOCK lock_ = SRWLOCK_INIT;  // guards the members below
  ReusedFifo<Waiting> waiting_;
  bool closed_ = false;
};

// Each thread's posts are held in a fiber-local slot rather than a thread_local object: the
// slot's callback runs when the thread ends, while all of its storage is still there (mingw runs
// thread_local destructors after the storage of such objects may have been freed). It closes the
// posts, so that late posts are refused; the thread's windows, the marker among them, go with it.
void WINAPI ReleaseThreadPosts(void* held) {
  auto* posts = static_cast<std::shared_ptr<ThreadPosts>*>(held);
  (*posts)->Close();
  delete posts;
}

DWORD ThreadPostsSlot() {
  static const DWORD slot = [] {
    const DWORD allocated = FlsAlloc(ReleaseThreadPosts);
    // Slots run out only in a process that leaks them by the thousand.
    if (allocated == FLS_OUT_OF_INDEXES) {
      throw std::bad_alloc();
    }
    return allocated;
  }();
  return slot;
}

std::shared_ptr<ThreadPosts>* HeldByThisThread() {
  return static_cast<std::shared_ptr<ThreadPosts>*>(FlsGetValue(ThreadPostsSlot()));
}

}  // namespace

// A target made by the constructor owns a message-only window whose procedure calls the handler;
// one made by ForWindow borrows a window and has no handler.
struct MessageTarget::Impl {
  HWND window = nullptr;
  bool ownsWindow = false;
  // Shared so that a handler stays alive while it runs even when its target is destroyed from
  // inside it.
  std::shared_ptr<const MessageHandler> handler;
  // The owner thread's, shared with the threads that post.
  std::shared_ptr<ThreadPosts> posts = ThreadPosts::ForThisThread();
};

namespace {

LRESULT CALLBACK TargetWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Unset while the window is being created or destroyed: those messages are the system's.
  const auto* impl =
      reinterpret_cast<const MessageTarget::Impl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (impl == nullptr) {
    return DefWindowProcA(window, message, wParam, lParam);
  }
  const std::shared_ptr<const MessageHandler> handler = impl->handler;
  (*handler)(message, wParam, lParam);
  return 0;
}

LRESULT CALLBACK MarkerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kDeliverWaiting) {
    ThreadPosts::ForThisThread()->DeliverWaiting();
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterWindowClass(const char* name, WNDPROC procedure) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = name;
  RegisterClassA(&windowClass);
}

HWND CreateMessageWindow(const char* windowClass) {
  return CreateWindowExA(0, windowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

void RegisterWindowClasses() {
  // Thread-safe once-only registration for the process.
  static const bool registered = [] {
    RegisterWindowClass(kTargetWindowClass, TargetWindowProc);
    RegisterWindowClass(kMarkerWindowClass, MarkerWindowProc);
    return true;
  }();
  (void)registered;
}

const std::shared_ptr<ThreadPosts>& ThreadPosts::ForThisThread() {
  if (std::shared_ptr<ThreadPosts>* held = HeldByThisThread()) {
    return *held;
  }
  RegisterWindowClasses();
  auto posts = std::make_shared<ThreadPosts>();
  posts->marker_ = CreateMessageWindow(kMarkerWindowClass);
  // Only exhausted window handles or memory refuse a message-only window.
  if (posts->marker_ == nullptr) {
    throw std::bad_alloc();
  }
  auto held = std::make_unique<std::shared_ptr<ThreadPosts>>(std::move(posts));
  if (!FlsSetValue(ThreadPostsSlot(), held.get())) {
    DestroyWindow((*held)->marker_);
    throw std::bad_alloc();
  }
  return *held.release();
}

bool ThreadPosts::AnyWaitingForThisThread() {
  const std::shared_ptr<ThreadPosts>* held = HeldByThisThread();
  return held != nullptr && (*held)->AnyWaiting();
}

bool ThreadPosts::Add(const Waiting& waiting, bool wakeThread) {
  AcquireSRWLockExclusive(&lock_);
  const bool accepted = !closed_;
  if (accepted) {
    waiting_.Push(waiting);
  }
  ReleaseSRWLockExclusive(&lock_);
  // The marker goes after the message is in, so the delivery it causes finds it.
  return accepted && (!wakeThread || PostMessageA(marker_, kDeliverWaiting, 0, 0) != FALSE);
}

void ThreadPosts::Forget(HWND window) {
  AcquireSRWLockExclusive(&lock_);
  waiting_.RemoveIf([window](const Waiting& w) { return w.window == window; });
  ReleaseSRWLockExclusive(&lock_);
}

void ThreadPosts::DeliverWaiting() {
  AcquireSRWLockShared(&lock_);
  size_t count = waiting_.Size();
  ReleaseSRWLockShared(&lock_);
  // One at a time, with no lock held while a window handles it: a handler may pump, post, and
  // destroy targets, which delivers or forgets messages of this same list.
  for (; count > 0; --count) {
    const std::optional<Waiting> next = TakeOldest();
    if (!next) {
      return;
    }
    SendMessageA(next->window, next->message, next->wParam, next->lParam);
  }
}

void ThreadPosts::Close() {
  AcquireSRWLockExclusive(&lock_);
  closed_ = true;
  waiting_.Clear();
  ReleaseSRWLockExclusive(&lock_);
}

bool ThreadPosts::AnyWaiting() {
  AcquireSRWLockShared(&lock_);
  const bool any = !waiting_.Empty();
  ReleaseSRWLockShared(&lock_);
  return any;
}

std::optional<Waiting> ThreadPosts::TakeOldest() {
  AcquireSRWLockExclusive(&lock_);
  std::optional<Waiting> oldest = waiting_.TakeOldest();
  ReleaseSRWLockExclusive(&lock_);
  return oldest;
}

// Every target timer's tick comes here instead of to the window procedure: what was posted
// before it is delivered first, then the window gets the tick as an ordinary timer message
// (a one-shot timer is killed before), so borrowed windows see their ticks as their own.
void DeliverTick(HWND window, UINT_PTR id) {
  ThreadPosts::ForThisThread()->DeliverWaiting();
  SendMessageA(window, WM_TIMER, id, 0);
}

void CALLBACK FirePeriodicTimer(HWND window, UINT, UINT_PTR id, DWORD) {
  DeliverTick(window, id);
}

void CALLBACK FireOneShotTimer(HWND window, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(window, id);
  DeliverTick(window, id);
}

}  // namespace

MessageTarget::MessageTarget(MessageHandler handler) : impl_(new Impl) {
  impl_->window = CreateMessageWindow(kTargetWindowClass);
  // Only exhausted window handles or memory refuse a message-only window.
  if (impl_->window == nullptr) {
    throw std::bad_alloc();
  }
  impl_->ownsWindow = true;
  impl_->handler = std::make_shared<const MessageHandler>(std::move(handler));
  SetWindowLongPtrA(impl_->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(impl_.get()));
}

MessageTarget::MessageTarget(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

std::unique_ptr<MessageTarget> MessageTarget::ForWindow(void* hwnd) {
  auto impl = std::make_unique<Impl>();
  impl->window = static_cast<HWND>(hwnd);
  return std::unique_ptr<MessageTarget>(new MessageTarget(std::move(impl)));
}

MessageTarget::~MessageTarget() {
  // Messages still waiting for the target are never delivered, as the system drops those queued
  // for a destroyed window.
  impl_->posts->Forget(impl_->window);
  if (impl_->ownsWindow) {
    SetWindowLongPtrA(impl_->window, GWLP_USERDATA, 0);
    DestroyWindow(impl_->window);  // also kills its timers
  }
}

bool MessageTarget::Post(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return impl_->posts->Add({impl_->window, message, wParam, lParam}, true);
}

bool MessageTarget::PostWithoutWaking(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return impl_->posts->Add({impl_->window, message, wParam, lParam}, false);
}

void MessageTarget::SetTimer(uint32_t id, uint32_t periodMs, TimerMode mode) {
  ::SetTimer(impl_->window, id, periodMs,
             mode == TimerMode::OneShot ? FireOneShotTimer : FirePeriodicTimer);
}

void MessageTarget::KillTimer(uint32_t id) {
  ::KillTimer(impl_->window, id);
}

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // The quit request belongs to the loop that runs the thread; put it back for that loop.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  if (std::shared_ptr<ThreadPosts>* held = HeldByThisThread()) {
    (*held)->DeliverWaiting();
  }
}

// Messages posted without waking count as input that is waiting, as they do for the system's
// queue. MWMO_INPUTAVAILABLE: input that was already waiting before the call counts too, not
// only input that arrives during it.
bool WaitForInput(uint32_t timeoutMs) {
  return ThreadPosts::AnyWaitingForThisThread() ||
         MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE) ==
             WAIT_OBJECT_0;
}

WaitOutcome WaitForEventOrInput(Event& event, uint32_t timeoutMs) {
  const HANDLE handle = event.impl().handle;
  const bool postsWaiting = ThreadPosts::AnyWaitingForThisThread();
  switch (MsgWaitForMultipleObjectsEx(1, &handle, postsWaiting ? 0 : timeoutMs, QS_ALLINPUT,
                                      MWMO_INPUTAVAILABLE)) {
    case WAIT_OBJECT_0:
      return WaitOutcome::EventSet;
    case WAIT_OBJECT_0 + 1:
      return WaitOutcome::InputWaiting;
    default:
      return postsWaiting ? WaitOutcome::InputWaiting : WaitOutcome::TimedOut;
  }
}

}  // namespace platform
