#pragma once

// Plain TCP on 127.0.0.1 for the test fixtures themselves (BSD sockets or Winsock), kept apart
// from the product's own FTP layer so that a fault there cannot hide in the fixtures.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace testsupport {

class LoopbackStream {
 public:
  // Connects to 127.0.0.1:port; throws std::runtime_error.
  static std::unique_ptr<LoopbackStream> Connect(uint16_t port);
  explicit LoopbackStream(intptr_t handle);
  ~LoopbackStream();
  LoopbackStream(const LoopbackStream&) = delete;
  LoopbackStream& operator=(const LoopbackStream&) = delete;

  // Waits up to `slice` and appends what arrived to `received`. False once the peer has closed
  // its side (or the connection failed); true otherwise, even if nothing arrived.
  bool Receive(std::chrono::milliseconds slice, std::string& received);
  void Send(const std::string& data);
  // Ends our sending side, then waits up to `timeout` for the peer to close its side.
  // True when it did.
  bool HangUpAndWait(std::chrono::milliseconds timeout);

 private:
  void EndSending();

  intptr_t handle_;
};

class LoopbackListener {
 public:
  // Listens on 127.0.0.1 on a free port; throws std::runtime_error.
  LoopbackListener();
  ~LoopbackListener();
  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;

  uint16_t port() const { return port_; }
  // Waits up to `slice` for one connection; null when none came.
  std::unique_ptr<LoopbackStream> Accept(std::chrono::milliseconds slice);

 private:
  intptr_t handle_;
  uint16_t port_ = 0;
};

}  // namespace testsupport
