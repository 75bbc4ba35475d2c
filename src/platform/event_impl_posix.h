#pragma once

#include <condition_variable>
#include <mutex>
#include <vector>

#include "platform/event.h"

namespace platform {

// Hears every Set of an event it listens to. Called with the event's lock held, so it must
// return promptly and must not touch the event.
class EventListener {
 public:
  virtual void OnEventSet() = 0;

 protected:
  ~EventListener() = default;
};

struct Event::Impl {
  std::mutex lock;  // guards set and listeners
  std::condition_variable changed;
  bool set = false;
  std::vector<EventListener*> listeners;
};

// Listens to an event for the object's lifetime. Once the destructor has returned the listener
// is never called again.
class ScopedEventListener {
 public:
  ScopedEventListener(Event& event, EventListener& listener);
  ~ScopedEventListener();
  ScopedEventListener(const ScopedEventListener&) = delete;
  ScopedEventListener& operator=(const ScopedEventListener&) = delete;

 private:
  Event::Impl& event_;
  EventListener& listener_;
};

}  // namespace platform
