#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>

#include "platform/event.h"

namespace platform {

// The kernel event, for waits that block (alone or with the message queue), and a copy of its
// state that a look or a wait on a set event reads without a kernel call: the read loops look
// before every read, and under Wine each kernel call is a round trip to the wineserver.
struct Event::Impl {
  HANDLE handle = nullptr;
  std::atomic<bool> set{false};
  // Orders Set and Reset, so that the copy and the kernel event end in the same state.
  std::mutex change;
};

}  // namespace platform
