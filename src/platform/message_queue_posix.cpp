#include "platform/message_queue_posix.h"

#include <algorithm>

namespace platform {

namespace {

// The system's floor for timer periods; also keeps a zero period from firing in a tight loop.
constexpr uint32_t kMinimumTimerPeriodMs = 10;

// Closes the thread's queue when the thread ends, so that late posts are refused rather than
// left for a pump that will never run.
struct ThreadQueueHolder {
  std::shared_ptr<MessageQueue> queue = std::make_shared<MessageQueue>();
  ~ThreadQueueHolder() { queue->Close(); }
};

}  // namespace

const std::shared_ptr<MessageQueue>& MessageQueue::ForThisThread() {
  static thread_local ThreadQueueHolder holder;
  return holder.queue;
}

bool MessageQueue::Post(const SharedHandler& target, uint32_t message, uintptr_t wParam,
                        intptr_t lParam, bool wakeOwner) {
  bool wake = false;
  {
    std::lock_guard<std::mutex> hold(lock_);
    if (closed_) {
      return false;
    }
    posted_.Push(Delivery{target, message, wParam, lParam});
    // The owner looks for input under the lock before it sleeps, so only an owner already asleep
    // needs waking; messages posted without waking do not count as having woken it.
    if (wakeOwner && ownerAsleep_) {
      wake = true;
      ownerAsleep_ = false;
    }
  }
  if (wake) {
    inputOrWake_.notify_one();
  }
  return true;
}

void MessageQueue::SetTimer(const SharedHandler& target, uint32_t id, uint32_t periodMs,
                            TimerMode mode) {
  const Clock::duration period =
      std::chrono::milliseconds(std::max(periodMs, kMinimumTimerPeriodMs));
  std::lock_guard<std::mutex> hold(lock_);
  const Timer timer{target, id, period, mode, Clock::now() + period};
  auto armed = std::find_if(timers_.begin(), timers_.end(),
                            [&](const Timer& t) { return t.target == target && t.id == id; });
  if (armed != timers_.end()) {
    *armed = timer;
  } else {
    timers_.push_back(timer);
  }
}

void MessageQueue::KillTimer(const MessageHandler& target, uint32_t id) {
  std::lock_guard<std::mutex> hold(lock_);
  timers_.erase(
      std::remove_if(timers_.begin(), timers_.end(),
                     [&](const Timer& t) { return t.target.get() == &target && t.id == id; }),
      timers_.end());
}

void MessageQueue::Forget(const MessageHandler& target) {
  std::lock_guard<std::mutex> hold(lock_);
  posted_.RemoveIf([&](const Delivery& d) { return d.handler.get() == &target; });
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                               [&](const Timer& t) { return t.target.get() == &target; }),
                timers_.end());
}

std::optional<MessageQueue::Delivery> MessageQueue::TakeNext() {
  std::lock_guard<std::mutex> hold(lock_);
  if (std::optional<Delivery> next = posted_.TakeOldest()) {
    return next;
  }
  const Clock::time_point now = Clock::now();
  const auto timer = EarliestTimer();
  if (timer == timers_.end() || timer->due > now) {
    return std::nullopt;
  }
  Delivery tick{timer->target, kTimerMessage, timer->id, 0};
  // A one-shot timer is gone before its handler runs; a periodic one counts its next period
  // from now, so a late pump gets one tick, not a burst of missed ones.
  if (timer->mode == TimerMode::OneShot) {
    timers_.erase(timer);
  } else {
    timer->due = now + timer->period;
  }
  return tick;
}

MessageQueue::WaitResult MessageQueue::Wait(std::optional<Clock::time_point> deadline,
                                            bool wakeable) {
  std::unique_lock<std::mutex> hold(lock_);
  for (;;) {
    const Clock::time_point now = Clock::now();
    if (HasInput(now)) {
      return WaitResult::InputWaiting;
    }
    if (wakeable && woken_) {
      woken_ = false;
      return WaitResult::Woken;
    }
    if (deadline && now >= *deadline) {
      return WaitResult::TimedOut;
    }
    // Sleep until the deadline or the next timer falls due, whichever comes first.
    std::optional<Clock::time_point> until = deadline;
    const auto timer = EarliestTimer();
    if (timer != timers_.end() && (!until || timer->due < *until)) {
      until = timer->due;
    }
    ownerAsleep_ = true;
    if (until) {
      inputOrWake_.wait_until(hold, *until);
    } else {
      inputOrWake_.wait(hold);
    }
    ownerAsleep_ = false;
  }
}

void MessageQueue::Wake() {
  std::lock_guard<std::mutex> hold(lock_);
  woken_ = true;
  inputOrWake_.notify_one();
}

void MessageQueue::ClearWake() {
  std::lock_guard<std::mutex> hold(lock_);
  woken_ = false;
}

void MessageQueue::Close() {
  std::lock_guard<std::mutex> hold(lock_);
  closed_ = true;
  posted_.Clear();
  timers_.clear();
}

std::vector<MessageQueue::Timer>::iterator MessageQueue::EarliestTimer() {
  return std::min_element(timers_.begin(), timers_.end(),
                          [](const Timer& a, const Timer& b) { return a.due < b.due; });
}

bool MessageQueue::HasInput(Clock::time_point now) {
  const auto timer = EarliestTimer();
  return !posted_.Empty() || (timer != timers_.end() && timer->due <= now);
}

}  // namespace platform
