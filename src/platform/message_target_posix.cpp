#include <optional>
#include <utility>

#include "platform/event_impl_posix.h"
#include "platform/message_queue_posix.h"
#include "platform/message_target.h"
#include "platform/message_wait.h"

namespace platform {

struct MessageTarget::Impl {
  std::shared_ptr<MessageQueue> queue;
  SharedHandler handler;
};

namespace {

std::optional<MessageQueue::Clock::time_point> DeadlineAfter(uint32_t timeoutMs) {
  if (timeoutMs == kInfinite) {
    return std::nullopt;
  }
  return MessageQueue::Clock::now() + std::chrono::milliseconds(timeoutMs);
}

// Wakes the thread's queue when the event it waits for is set.
class QueueWaker : public EventListener {
 public:
  explicit QueueWaker(MessageQueue& queue) : queue_(queue) {}
  void OnEventSet() override { queue_.Wake(); }

 private:
  MessageQueue& queue_;
};

}  // namespace

MessageTarget::MessageTarget(MessageHandler handler)
    : impl_(new Impl{MessageQueue::ForThisThread(),
                     std::make_shared<const MessageHandler>(std::move(handler))}) {}

MessageTarget::~MessageTarget() {
  impl_->queue->Forget(*impl_->handler);
}

bool MessageTarget::Post(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return impl_->queue->Post(impl_->handler, message, wParam, lParam, true);
}

bool MessageTarget::PostWithoutWaking(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return impl_->queue->Post(impl_->handler, message, wParam, lParam, false);
}

void MessageTarget::SetTimer(uint32_t id, uint32_t periodMs, TimerMode mode) {
  impl_->queue->SetTimer(impl_->handler, id, periodMs, mode);
}

void MessageTarget::KillTimer(uint32_t id) {
  impl_->queue->KillTimer(*impl_->handler, id);
}

void PumpMessages() {
  MessageQueue& queue = *MessageQueue::ForThisThread();
  // No lock is held while a handler runs, so handlers may post, pump, arm timers and destroy
  // targets, their own included.
  while (std::optional<MessageQueue::Delivery> next = queue.TakeNext()) {
    (*next->handler)(next->message, next->wParam, next->lParam);
  }
}

bool WaitForInput(uint32_t timeoutMs) {
  return MessageQueue::ForThisThread()->Wait(DeadlineAfter(timeoutMs), false) ==
         MessageQueue::WaitResult::InputWaiting;
}

WaitOutcome WaitForEventOrInput(Event& event, uint32_t timeoutMs) {
  const auto deadline = DeadlineAfter(timeoutMs);
  MessageQueue& queue = *MessageQueue::ForThisThread();
  QueueWaker waker(queue);
  // Listening starts before the wake flag is cleared and the event is checked, so a Set that
  // the check misses still wakes the wait below.
  ScopedEventListener listening(event, waker);
  queue.ClearWake();
  if (event.IsSet()) {
    return WaitOutcome::EventSet;
  }
  const MessageQueue::WaitResult result = queue.Wait(deadline, true);
  if (event.IsSet()) {
    return WaitOutcome::EventSet;
  }
  return result == MessageQueue::WaitResult::TimedOut ? WaitOutcome::TimedOut
                                                      : WaitOutcome::InputWaiting;
}

}  // namespace platform
