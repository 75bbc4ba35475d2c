#include <new>

#include "platform/event_impl_win32.h"

namespace platform {

Event::Event(bool initiallySet) : impl_(new Impl) {
  impl_->handle = CreateEventA(nullptr, TRUE, initiallySet ? TRUE : FALSE, nullptr);
  // Only an exhausted handle table refuses an unnamed event; report it like the allocation
  // failure it is, so callers that survive a memory shortage survive this too.
  if (impl_->handle == nullptr) {
    throw std::bad_alloc();
  }
  impl_->set.store(initiallySet);
}

Event::~Event() {
  CloseHandle(impl_->handle);
}

void Event::Set() {
  std::lock_guard<std::mutex> hold(impl_->change);
  // Release: whoever sees the copy set also sees what was written before the Set.
  impl_->set.store(true, std::memory_order_release);
  SetEvent(impl_->handle);
}

void Event::Reset() {
  std::lock_guard<std::mutex> hold(impl_->change);
  impl_->set.store(false, std::memory_order_release);
  ResetEvent(impl_->handle);
}

bool Event::IsSet() const {
  return impl_->set.load(std::memory_order_acquire);
}

bool Event::Wait(uint32_t timeoutMs) {
  return IsSet() || WaitForSingleObject(impl_->handle, timeoutMs) == WAIT_OBJECT_0;
}

}  // namespace platform
