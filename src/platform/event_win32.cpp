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
}

Event::~Event() {
  CloseHandle(impl_->handle);
}

void Event::Set() {
  SetEvent(impl_->handle);
}

void Event::Reset() {
  ResetEvent(impl_->handle);
}

bool Event::IsSet() const {
  return WaitForSingleObject(impl_->handle, 0) == WAIT_OBJECT_0;
}

bool Event::Wait(uint32_t timeoutMs) {
  return WaitForSingleObject(impl_->handle, timeoutMs) == WAIT_OBJECT_0;
}

}  // namespace platform
