#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/event.h"

namespace platform {

// The timer message a target receives; wParam is the timer id. Same number as WM_TIMER.
constexpr uint32_t kTimerMessage = 0x0113;

using MessageHandler = std::function<void(uint32_t message, uintptr_t wParam, intptr_t lParam)>;

enum class TimerMode { Periodic, OneShot };

// A stand-in for a window handle: messages posted to it from any thread are delivered, in the
// order they were posted, to its handler on the thread that created it, whenever that thread
// pumps messages. Timers fire only when no posted message is waiting, so every message posted
// before a timer tick is handled before that tick.
class MessageTarget {
 public:
  explicit MessageTarget(MessageHandler handler);
  ~MessageTarget();
  MessageTarget(const MessageTarget&) = delete;
  MessageTarget& operator=(const MessageTarget&) = delete;

  // Any thread. False when the target no longer accepts messages.
  bool Post(uint32_t message, uintptr_t wParam, intptr_t lParam);
  // Any thread. Like Post, in the same order with the others, but the owner thread is not woken
  // for it: the message waits until the owner handles a message posted with Post, a timer tick,
  // or pumps. For frequent reports that only timer ticks read: the owner then sleeps between
  // ticks instead of waking for every report.
  bool PostWithoutWaking(uint32_t message, uintptr_t wParam, intptr_t lParam);
  // Owner thread only. Setting an id that is already armed replaces it.
  void SetTimer(uint32_t id, uint32_t periodMs, TimerMode mode = TimerMode::Periodic);
  void KillTimer(uint32_t id);

  // Windows only: a target for an existing window of the calling thread, such as a dialog.
  // Posts go to that window's message queue and timers are the window's own, so its window
  // procedure sees both (a one-shot timer is killed before the window sees its tick). The
  // target has no handler and leaves the window and its timers alone when destroyed.
  static std::unique_ptr<MessageTarget> ForWindow(void* hwnd);

  struct Impl;
  Impl& impl() { return *impl_; }

 private:
  explicit MessageTarget(std::unique_ptr<Impl> impl);

  std::unique_ptr<Impl> impl_;
};

// Dispatches every message waiting for the calling thread's targets and returns when none is
// left; never waits.
void PumpMessages();

// Waits until a message or a due timer is waiting for the calling thread, at most timeoutMs.
// True when input is waiting.
bool WaitForInput(uint32_t timeoutMs);

// Waits for the event while keeping the calling thread's messages flowing: returns true as soon
// as the event is set, false once timeoutMs has passed (also when pumping ran past it).
bool WaitWithPump(Event& event, uint32_t timeoutMs);

}  // namespace platform
