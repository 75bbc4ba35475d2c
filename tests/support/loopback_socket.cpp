#include "support/loopback_socket.h"

namespace testsupport {

bool LoopbackStream::HangUpAndWait(std::chrono::milliseconds timeout) {
  EndSending();
  auto deadline = std::chrono::steady_clock::now() + timeout;
  std::string ignored;
  while (std::chrono::steady_clock::now() < deadline) {
    if (!Receive(std::chrono::milliseconds(200), ignored)) {
      return true;
    }
    ignored.clear();
  }
  return false;
}

}  // namespace testsupport
