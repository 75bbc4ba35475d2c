#pragma once

#include <cstdint>
#include <functional>

// How many connections at once the server allows this download, as its refusals have shown, and
// whether the scheduler may try one more login now. Many servers allow only a few connections
// per address and turn the rest away at login; asking again every pass would only be refused
// again. Window's thread only.
class ConnectionLimit {
 public:
  // clock: milliseconds, wrapping like the system tick count.
  explicit ConnectionLimit(std::function<uint32_t()> clock);

  // A pass begins: it may try a few new logins.
  void BeginPass() { m_nLoginsThisPass = 0; }
  // A login was turned away for too many connections while `working` others of ours were open:
  // that many is what the server allows, for a while.
  void Learn(int32_t working);
  // Whether one more login may be tried while `open` connections of ours are open or opening;
  // counts the login when it may. Above the learnt limit only one try per back-off period.
  bool AllowLogin(int32_t open);
  // No limit known: a new download.
  void Forget();
  // 0 while none is known.
  int32_t Known() const { return m_nLimit; }

 private:
  std::function<uint32_t()> m_clock;
  int32_t m_nLimit = 0;
  uint32_t m_learntAt = 0;  // when the limit was learnt or last tried beyond
  int32_t m_nLoginsThisPass = 0;
};
