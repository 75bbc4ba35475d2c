#pragma once

#include <atomic>
#include <cstdint>

#include "net/abort_scope.h"
#include "net/internet_session.h"

namespace net {

// What a session shares with its connections, which may outlive it.
struct CInternetSession::Shared {
  // Every connection's scope lies inside this one, so that the session's Close breaks them all.
  AbortScope scope;
  // Each option stands alone (nothing is published through it), so relaxed order suffices.
  std::atomic<uint32_t> connectTimeoutMs{60000};
  std::atomic<uint32_t> receiveTimeoutMs{60000};
  std::atomic<uint32_t> sendTimeoutMs{60000};
};

}  // namespace net
