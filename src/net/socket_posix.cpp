// BSD sockets back end of the socket calls.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "net/socket_os.h"

namespace net::os {
namespace {

Failure FailureOf(int error) {
  switch (error) {
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
    case EINPROGRESS:
    case EINTR:
      return Failure::WouldBlock;
    case ECONNREFUSED:
    case ENETUNREACH:
    case EHOSTUNREACH:
    case ETIMEDOUT:
      return Failure::Refused;
    case ECONNRESET:
      return Failure::Reset;
    default:
      return Failure::Other;
  }
}

Readiness Wait(intptr_t handle, short events, uint32_t ms) {
  pollfd entry{static_cast<int>(handle), events, 0};
  const int timeout = ms > static_cast<uint32_t>(INT_MAX) ? INT_MAX : static_cast<int>(ms);
  const int result = poll(&entry, 1, timeout);
  if (result > 0) {
    // Errors and hang-ups count as ready: the next call reports them.
    return Readiness::Ready;
  }
  if (result == 0 || errno == EINTR) {
    return Readiness::NotYet;
  }
  return Readiness::Failed;
}

}  // namespace

bool Startup() {
  return true;
}

std::optional<std::string> ResolveFirstIPv4(const std::string& host) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
    return std::nullopt;
  }
  char text[INET_ADDRSTRLEN] = {};
  const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  const bool ok = inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr;
  freeaddrinfo(found);
  if (!ok) {
    return std::nullopt;
  }
  return std::string(text);
}

// The shutdown that Abort makes ends a poll in another thread at once.
intptr_t CreateWaker() {
  return kInvalidHandle;
}
void DestroyWaker(intptr_t) {}
void WakeWaits(intptr_t) {}

intptr_t CreateTcpSocket(intptr_t /*waker: none on POSIX*/) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    return kInvalidHandle;
  }
  const int flags = fcntl(fd, F_GETFL, 0);
  if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) {
    close(fd);
    return kInvalidHandle;
  }
  return fd;
}

void CloseSocket(intptr_t handle) {
  close(static_cast<int>(handle));
}

void ShutdownBoth(intptr_t handle) {
  shutdown(static_cast<int>(handle), SHUT_RDWR);
}

std::optional<Failure> StartConnect(intptr_t handle, const std::string& ipv4, uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  if (inet_pton(AF_INET, ipv4.c_str(), &address.sin_addr) != 1) {
    return Failure::Other;
  }
  if (connect(static_cast<int>(handle), reinterpret_cast<const sockaddr*>(&address),
              sizeof address) == 0) {
    return std::nullopt;
  }
  const Failure failure = FailureOf(errno);
  if (failure == Failure::WouldBlock) {
    return std::nullopt;
  }
  return failure;
}

std::optional<Failure> ConnectOutcome(intptr_t handle) {
  int error = 0;
  socklen_t length = sizeof error;
  if (getsockopt(static_cast<int>(handle), SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
    return FailureOf(errno);
  }
  if (error == 0) {
    return std::nullopt;
  }
  const Failure failure = FailureOf(error);
  // A connect that is still pending after the socket became writable cannot happen; a failed one
  // must not be mistaken for "try again".
  return failure == Failure::WouldBlock ? Failure::Other : failure;
}

Readiness WaitReadable(intptr_t handle, intptr_t /*waker*/, uint32_t ms) {
  return Wait(handle, POLLIN, ms);
}
Readiness WaitWritable(intptr_t handle, intptr_t /*waker*/, uint32_t ms) {
  return Wait(handle, POLLOUT, ms);
}

long long SendSome(intptr_t handle, const void* data, size_t size) {
  // MSG_NOSIGNAL: a peer that has gone must give an error, not kill the process with SIGPIPE.
  return send(static_cast<int>(handle), data, size, MSG_NOSIGNAL);
}

long long ReceiveSome(intptr_t handle, void* buffer, size_t size) {
  return recv(static_cast<int>(handle), buffer, size, 0);
}

Failure LastFailure() {
  return FailureOf(errno);
}

std::string PeerAddress(intptr_t handle) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  char text[INET_ADDRSTRLEN] = {};
  if (getpeername(static_cast<int>(handle), reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
      address.sin_family != AF_INET ||
      inet_ntop(AF_INET, &address.sin_addr, text, sizeof text) == nullptr) {
    return std::string();
  }
  return std::string(text);
}

}  // namespace net::os
