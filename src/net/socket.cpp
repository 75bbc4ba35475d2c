// The parts of Socket common to every back end: time-outs, abort and error mapping.

#include "net/socket.h"

#include <algorithm>
#include <chrono>

#include "net/internet_error.h"
#include "net/socket_os.h"

namespace net {
namespace {

using Clock = std::chrono::steady_clock;

// Waits are cut into slices and the abort flag is read between them. An abort ends a wait at
// once (its shutdown, and on Windows the waker's event), so a read waits in long slices: the end
// of each is a wake-up, and at a slow rate a transfer spends most of its time waiting. A socket
// that is still connecting may not wake on shutdown where there is no waker, so its slices are
// short.
constexpr uint32_t kWriteWaitSliceMs = 100;
constexpr uint32_t kReadWaitSliceMs = 1000;

Clock::time_point DeadlineAfter(uint32_t timeoutMs) {
  return Clock::now() + std::chrono::milliseconds(timeoutMs);
}

void ThrowIfAborted(const Socket& socket) {
  if (socket.IsAborted()) {
    throw CInternetException(kErrorOperationCancelled);
  }
}

// Throws the error for a failed call; an abort in the meantime takes precedence.
[[noreturn]] void ThrowFailure(const Socket& socket, InternetError error) {
  ThrowIfAborted(socket);
  throw CInternetException(error);
}

InternetError TransferError(os::Failure failure) {
  return failure == os::Failure::Reset ? kErrorConnectionReset : kErrorConnectionAborted;
}

// Waits until the socket is ready or the deadline passes; a failed wait throws failure.
void WaitReady(const Socket& socket, intptr_t handle, intptr_t waker, bool forWrite,
               Clock::time_point deadline, InternetError failure) {
  for (;;) {
    ThrowIfAborted(socket);
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    const uint32_t leftMs = left.count() > 0 ? static_cast<uint32_t>(left.count()) : 0;
    const uint32_t sliceMs = std::min(leftMs, forWrite ? kWriteWaitSliceMs : kReadWaitSliceMs);
    const os::Readiness readiness = forWrite ? os::WaitWritable(handle, waker, sliceMs)
                                             : os::WaitReadable(handle, waker, sliceMs);
    if (readiness == os::Readiness::Ready) {
      ThrowIfAborted(socket);
      return;
    }
    if (readiness == os::Readiness::Failed) {
      ThrowFailure(socket, failure);
    }
    if (leftMs == 0) {
      ThrowFailure(socket, kErrorTimeout);
    }
  }
}

}  // namespace

bool InitSockets() {
  // Thread-safe once: the start-up runs on the first call only.
  static const bool started = os::Startup();
  return started;
}

std::optional<std::string> ResolveFirstIPv4(const std::string& host) {
  if (!InitSockets()) {
    return std::nullopt;
  }
  return os::ResolveFirstIPv4(host);
}

Socket::Socket() : handle_(os::kInvalidHandle), waker_(os::CreateWaker()) {}

Socket::~Socket() {
  Close();
  os::DestroyWaker(waker_);
}

void Socket::Connect(const std::string& ipv4, uint16_t port, uint32_t timeoutMs) {
  if (!InitSockets()) {
    throw CInternetException(kErrorCannotConnect);
  }
  const auto deadline = DeadlineAfter(timeoutMs);
  {
    std::lock_guard<std::mutex> lock(handleMutex_);
    ThrowIfAborted(*this);
    if (handle_ != os::kInvalidHandle) {
      os::CloseSocket(handle_);
    }
    handle_ = os::CreateTcpSocket(waker_);
    if (handle_ == os::kInvalidHandle) {
      throw CInternetException(kErrorCannotConnect);
    }
  }
  if (os::StartConnect(handle_, ipv4, port)) {
    ThrowFailure(*this, kErrorCannotConnect);
  }
  // Winsock may report a refused connection as a failed wait.
  WaitReady(*this, handle_, waker_, true, deadline, kErrorCannotConnect);
  if (os::ConnectOutcome(handle_)) {
    ThrowFailure(*this, kErrorCannotConnect);
  }
}

void Socket::SendAll(const void* data, size_t size, uint32_t timeoutMs) {
  const auto deadline = DeadlineAfter(timeoutMs);
  const auto* bytes = static_cast<const unsigned char*>(data);
  ThrowIfAborted(*this);
  if (handle_ == os::kInvalidHandle) {
    throw CInternetException(kErrorConnectionAborted);
  }
  while (size > 0) {
    WaitReady(*this, handle_, waker_, true, deadline, kErrorConnectionAborted);
    const long long sent = os::SendSome(handle_, bytes, size);
    if (sent < 0) {
      const os::Failure failure = os::LastFailure();
      if (failure == os::Failure::WouldBlock) {
        continue;
      }
      ThrowFailure(*this, TransferError(failure));
    }
    bytes += sent;
    size -= static_cast<size_t>(sent);
  }
}

size_t Socket::Receive(void* buffer, size_t size, uint32_t timeoutMs) {
  const auto deadline = DeadlineAfter(timeoutMs);
  ThrowIfAborted(*this);
  if (handle_ == os::kInvalidHandle) {
    throw CInternetException(kErrorConnectionAborted);
  }
  if (size == 0) {
    return 0;
  }
  // Received first, waited for only when nothing is there yet: a transfer under way mostly finds
  // its next block waiting, and a wait is a system call more per block.
  for (;;) {
    const long long received = os::ReceiveSome(handle_, buffer, size);
    if (received > 0) {
      return static_cast<size_t>(received);
    }
    if (received == 0) {
      // After an abort the shutdown looks like the end of the data; it is not.
      ThrowIfAborted(*this);
      return 0;
    }
    const os::Failure failure = os::LastFailure();
    if (failure != os::Failure::WouldBlock) {
      ThrowFailure(*this, TransferError(failure));
    }
    WaitReady(*this, handle_, waker_, false, deadline, kErrorConnectionAborted);
  }
}

void Socket::Abort() {
  std::lock_guard<std::mutex> lock(handleMutex_);
  // Release: a thread that sees the flag also sees that the shutdown has been asked for.
  aborted_.store(true, std::memory_order_release);
  if (handle_ != os::kInvalidHandle) {
    os::ShutdownBoth(handle_);
  }
  os::WakeWaits(waker_);
}

void Socket::Close() {
  std::lock_guard<std::mutex> lock(handleMutex_);
  if (handle_ != os::kInvalidHandle) {
    os::CloseSocket(handle_);
    handle_ = os::kInvalidHandle;
  }
}

std::string Socket::PeerAddress() const {
  return handle_ == os::kInvalidHandle ? std::string() : os::PeerAddress(handle_);
}

}  // namespace net
