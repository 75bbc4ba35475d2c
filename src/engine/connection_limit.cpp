#include "engine/connection_limit.h"

#include <algorithm>
#include <utility>

namespace {

// New logins one pass may try: a pass that may start fifteen segments would otherwise meet a
// server's limit with all of them at once, and most would be refused before it is known.
constexpr int32_t kMaxLoginsPerPass = 8;
// How long a learnt limit holds before one login beyond it is tried again: a server's limit
// counts all its clients of this address, and theirs may end.
constexpr uint32_t kBackOffMs = 30000;

}  // namespace

ConnectionLimit::ConnectionLimit(std::function<uint32_t()> clock) : m_clock(std::move(clock)) {}

void ConnectionLimit::Learn(int32_t working) {
  m_nLimit = std::max(working, 1);
  m_learntAt = m_clock();
}

bool ConnectionLimit::AllowLogin(int32_t open) {
  if (m_nLoginsThisPass >= kMaxLoginsPerPass) {
    return false;
  }
  if (m_nLimit != 0 && open >= m_nLimit) {
    const uint32_t now = m_clock();
    // Unsigned difference: right across the tick count's wrap.
    if (now - m_learntAt < kBackOffMs) {
      return false;
    }
    // This one login beyond the limit, then the next back-off: counted from the time, not from
    // the workers, since its refusal may already be in before the pass asks again.
    m_learntAt = now;
  }
  ++m_nLoginsThisPass;
  return true;
}

void ConnectionLimit::Forget() {
  m_nLimit = 0;
  m_nLoginsThisPass = 0;
}
