#include <windows.h>

#include <new>
#include <utility>

#include "platform/event_impl_win32.h"
#include "platform/message_target.h"
#include "platform/message_wait.h"

namespace platform {

// A target made by the constructor owns a message-only window whose procedure calls the handler;
// one made by ForWindow borrows a window and has no handler.
struct MessageTarget::Impl {
  HWND window = nullptr;
  bool ownsWindow = false;
  // Shared so that a handler stays alive while it runs even when its target is destroyed from
  // inside it.
  std::shared_ptr<const MessageHandler> handler;
};

namespace {

const char kTargetWindowClass[] = "MoraventMessageTarget";

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

void RegisterTargetWindowClass() {
  // Thread-safe once-only registration for the process.
  static const ATOM registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = TargetWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kTargetWindowClass;
    return RegisterClassA(&windowClass);
  }();
  (void)registered;
}

// Called instead of the window procedure for a one-shot timer's tick: the timer is killed first,
// then the window gets the tick as an ordinary timer message, so one-shots work for borrowed
// windows too.
void CALLBACK FireOneShotTimer(HWND window, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(window, id);
  SendMessageA(window, WM_TIMER, id, 0);
}

}  // namespace

MessageTarget::MessageTarget(MessageHandler handler) : impl_(new Impl) {
  RegisterTargetWindowClass();
  impl_->window = CreateWindowExA(0, kTargetWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
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
  if (impl_->ownsWindow) {
    SetWindowLongPtrA(impl_->window, GWLP_USERDATA, 0);
    // Also kills the window's timers; messages still queued for it are never dispatched.
    DestroyWindow(impl_->window);
  }
}

bool MessageTarget::Post(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return PostMessageA(impl_->window, message, wParam, lParam) != FALSE;
}

void MessageTarget::SetTimer(uint32_t id, uint32_t periodMs, TimerMode mode) {
  ::SetTimer(impl_->window, id, periodMs, mode == TimerMode::OneShot ? FireOneShotTimer : nullptr);
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
}

// MWMO_INPUTAVAILABLE: input that was already waiting before the call counts too, not only
// input that arrives during it.
bool WaitForInput(uint32_t timeoutMs) {
  return MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE) ==
         WAIT_OBJECT_0;
}

WaitOutcome WaitForEventOrInput(Event& event, uint32_t timeoutMs) {
  const HANDLE handle = event.impl().handle;
  switch (MsgWaitForMultipleObjectsEx(1, &handle, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE)) {
    case WAIT_OBJECT_0:
      return WaitOutcome::EventSet;
    case WAIT_OBJECT_0 + 1:
      return WaitOutcome::InputWaiting;
    default:
      return WaitOutcome::TimedOut;
  }
}

}  // namespace platform
