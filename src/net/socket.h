#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

namespace net {

// Starts the sockets layer (Winsock) once per process; a no-op on POSIX. False on failure.
bool InitSockets();

// The first IPv4 address of a host name as dotted text, or nothing when it does not resolve.
std::optional<std::string> ResolveFirstIPv4(const std::string& host);

// A blocking TCP connection whose every call is bounded by a time-out and can be broken from
// another thread with Abort. All calls but Abort belong to one thread. Once aborted, every call
// throws CInternetException(kErrorOperationCancelled).
class Socket {
 public:
  Socket();
  ~Socket();
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;

  // Throws CInternetException: kErrorCannotConnect, kErrorTimeout, kErrorOperationCancelled.
  void Connect(const std::string& ipv4, uint16_t port, uint32_t timeoutMs);
  // Sends every byte or throws (kErrorTimeout, kErrorConnectionAborted, ...).
  void SendAll(const void* data, size_t size, uint32_t timeoutMs);
  // Up to size bytes; 0 once the peer has closed. Throws on time-out, reset or abort.
  size_t Receive(void* buffer, size_t size, uint32_t timeoutMs);
  // Any thread: shuts the connection down so that a blocked or later call fails at once.
  void Abort();
  bool IsAborted() const { return aborted_.load(std::memory_order_acquire); }
  void Close();
  std::string PeerAddress() const;

 private:
  // Written only by the owning thread, under handleMutex_; Abort reads it under the same lock, so
  // it never shuts down a handle that Close has already given back to the system.
  intptr_t handle_;
  // Ends the owning thread's waits when Abort calls from another thread (see os::CreateWaker);
  // made with the socket, never changed.
  const intptr_t waker_;
  std::mutex handleMutex_;
  // Set by Abort on another thread; read by the blocking calls between waits.
  std::atomic<bool> aborted_{false};
};

}  // namespace net
