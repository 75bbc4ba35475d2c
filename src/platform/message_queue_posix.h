#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/message_target.h"
#include "platform/reused_fifo.h"

namespace platform {

// A target's handler, shared so that a handler stays alive while it runs even when its target
// is destroyed from inside it. The queue knows targets by their handler.
using SharedHandler = std::shared_ptr<const MessageHandler>;

// One thread's queue of posted messages and timers, the POSIX stand-in for the system's
// per-thread message queue. Post and Wake are for any thread; everything else is for the thread
// that owns the queue.
class MessageQueue {
 public:
  using Clock = std::chrono::steady_clock;

  struct Delivery {
    SharedHandler handler;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
  };

  enum class WaitResult { InputWaiting, Woken, TimedOut };

  // The calling thread's queue, made on first use and closed when the thread ends.
  static const std::shared_ptr<MessageQueue>& ForThisThread();

  // False once the owning thread has ended. Without wakeOwner, an owner asleep in Wait stays
  // asleep until its deadline, a timer or another post wakes it.
  bool Post(const SharedHandler& target, uint32_t message, uintptr_t wParam, intptr_t lParam,
            bool wakeOwner);
  void SetTimer(const SharedHandler& target, uint32_t id, uint32_t periodMs, TimerMode mode);
  void KillTimer(const MessageHandler& target, uint32_t id);
  // Drops the target's waiting messages and timers.
  void Forget(const MessageHandler& target);
  // The next message to dispatch: the oldest posted one, else the timer that fell due first.
  std::optional<Delivery> TakeNext();
  // Waits until input is waiting or the deadline (none: for ever); a Wake ends the wait too when
  // wakeable is set. A Wake that no wait consumed is forgotten by the next ClearWake.
  WaitResult Wait(std::optional<Clock::time_point> deadline, bool wakeable);
  void Wake();
  void ClearWake();
  void Close();

 private:
  struct Timer {
    SharedHandler target;
    uint32_t id;
    Clock::duration period;
    TimerMode mode;
    Clock::time_point due;
  };

  // With lock_ held.
  std::vector<Timer>::iterator EarliestTimer();
  bool HasInput(Clock::time_point now);

  std::mutex lock_;  // guards every member below
  std::condition_variable inputOrWake_;
  ReusedFifo<Delivery> posted_;
  std::vector<Timer> timers_;
  bool woken_ = false;
  bool closed_ = false;
  // The owner sleeps in Wait and no post has woken it yet: the one post that finds it set wakes
  // it, so a steady flow of posts costs one wake per sleep, not one per post.
  bool ownerAsleep_ = false;
};

}  // namespace platform
