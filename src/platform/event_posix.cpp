#include <algorithm>
#include <chrono>

#include "platform/event_impl_posix.h"

namespace platform {

Event::Event(bool initiallySet) : impl_(new Impl) {
  impl_->set = initiallySet;
}

Event::~Event() = default;

void Event::Set() {
  std::lock_guard<std::mutex> hold(impl_->lock);
  impl_->set = true;
  impl_->changed.notify_all();
  for (EventListener* listener : impl_->listeners) {
    listener->OnEventSet();
  }
}

void Event::Reset() {
  std::lock_guard<std::mutex> hold(impl_->lock);
  impl_->set = false;
}

bool Event::IsSet() const {
  std::lock_guard<std::mutex> hold(impl_->lock);
  return impl_->set;
}

bool Event::Wait(uint32_t timeoutMs) {
  std::unique_lock<std::mutex> hold(impl_->lock);
  const auto isSet = [this] { return impl_->set; };
  if (timeoutMs == kInfinite) {
    impl_->changed.wait(hold, isSet);
    return true;
  }
  return impl_->changed.wait_for(hold, std::chrono::milliseconds(timeoutMs), isSet);
}

ScopedEventListener::ScopedEventListener(Event& event, EventListener& listener)
    : event_(event.impl()), listener_(listener) {
  std::lock_guard<std::mutex> hold(event_.lock);
  event_.listeners.push_back(&listener_);
}

ScopedEventListener::~ScopedEventListener() {
  std::lock_guard<std::mutex> hold(event_.lock);
  auto& listeners = event_.listeners;
  listeners.erase(std::find(listeners.begin(), listeners.end(), &listener_));
}

}  // namespace platform
