// Winsock 2 back end of the socket calls.

#include <winsock2.h>
#include <ws2tcpip.h>

#include <new>

#include "net/socket_os.h"

namespace net::os {
namespace {

Failure FailureOf(int error) {
  switch (error) {
    case WSAEWOULDBLOCK:
    case WSAEINPROGRESS:
    case WSAEINTR:
      return Failure::WouldBlock;
    case WSAECONNREFUSED:
    case WSAENETUNREACH:
    case WSAEHOSTUNREACH:
    case WSAETIMEDOUT:
      return Failure::Refused;
    case WSAECONNRESET:
      return Failure::Reset;
    default:
      return Failure::Other;
  }
}

SOCKET AsSocket(intptr_t handle) {
  return static_cast<SOCKET>(handle);
}

// select, not WSAPoll: WSAPoll on older Windows never reports a failed non-blocking connect.
Readiness Select(intptr_t handle, bool forWrite, uint32_t ms) {
  fd_set wanted;
  fd_set failed;
  FD_ZERO(&wanted);
  FD_ZERO(&failed);
  FD_SET(AsSocket(handle), &wanted);
  FD_SET(AsSocket(handle), &failed);
  timeval timeout{static_cast<long>(ms / 1000), static_cast<long>((ms % 1000) * 1000)};
  // The first argument is ignored by Winsock.
  const int result =
      select(0, forWrite ? nullptr : &wanted, forWrite ? &wanted : nullptr, &failed, &timeout);
  if (result > 0) {
    // Errors count as ready: the next call reports them.
    return Readiness::Ready;
  }
  return result == 0 ? Readiness::NotYet : Readiness::Failed;
}

// The events a socket's waits watch: what happens on the socket (tied to it by WSAEventSelect)
// and the wake-up, which stays set once set.
struct Waker {
  HANDLE network = nullptr;
  HANDLE wake = nullptr;
};

Waker* AsWaker(intptr_t waker) {
  return waker == kInvalidHandle ? nullptr : reinterpret_cast<Waker*>(waker);
}

Readiness Wait(intptr_t handle, intptr_t waker, bool forWrite, uint32_t ms) {
  Waker* events = AsWaker(waker);
  if (events == nullptr) {
    return Select(handle, forWrite, ms);
  }
  // The network event records changes, not states. A read waits only after a receive found
  // nothing, which re-arms FD_READ, so data or a close that comes later sets it. FD_WRITE comes
  // again only after a send that would have blocked, so a write looks at the state first.
  if (forWrite) {
    const Readiness now = Select(handle, true, 0);
    if (now != Readiness::NotYet) {
      return now;
    }
  }
  const HANDLE watched[] = {events->network, events->wake};
  const DWORD woken = WaitForMultipleObjects(2, watched, FALSE, ms);
  if (woken == WAIT_FAILED) {
    return Readiness::Failed;
  }
  if (woken != WAIT_OBJECT_0) {
    return Readiness::NotYet;  // the time is up, or the wake-up: the caller knows which
  }
  // Resets the event, so that the next wait waits for the next change.
  WSANETWORKEVENTS happened{};
  if (WSAEnumNetworkEvents(AsSocket(handle), events->network, &happened) != 0) {
    return Readiness::Failed;
  }
  if (forWrite) {
    return Select(handle, true, 0);
  }
  return (happened.lNetworkEvents & (FD_READ | FD_CLOSE)) != 0 ? Readiness::Ready
                                                               : Readiness::NotYet;
}

}  // namespace

intptr_t CreateWaker() {
  // Plain kernel events, which need no Winsock start-up: a socket is made before it connects.
  auto* waker = new (std::nothrow) Waker;
  if (waker == nullptr) {
    return kInvalidHandle;
  }
  waker->network = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  waker->wake = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (waker->network == nullptr || waker->wake == nullptr) {
    DestroyWaker(reinterpret_cast<intptr_t>(waker));
    return kInvalidHandle;
  }
  return reinterpret_cast<intptr_t>(waker);
}

void DestroyWaker(intptr_t waker) {
  Waker* events = AsWaker(waker);
  if (events == nullptr) {
    return;
  }
  for (HANDLE event : {events->network, events->wake}) {
    if (event != nullptr) {
      CloseHandle(event);
    }
  }
  delete events;
}

void WakeWaits(intptr_t waker) {
  if (Waker* events = AsWaker(waker)) {
    SetEvent(events->wake);
  }
}

bool Startup() {
  WSADATA data;
  return WSAStartup(MAKEWORD(2, 2), &data) == 0;
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
  auto* address = reinterpret_cast<sockaddr_in*>(found->ai_addr);
  const bool ok = inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr;
  freeaddrinfo(found);
  if (!ok) {
    return std::nullopt;
  }
  return std::string(text);
}

intptr_t CreateTcpSocket(intptr_t waker) {
  const SOCKET socketHandle = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (socketHandle == INVALID_SOCKET) {
    return kInvalidHandle;
  }
  u_long nonBlocking = 1;
  Waker* events = AsWaker(waker);
  // Non-blocking before the socket is tied to an event, after which Winsock restricts FIONBIO.
  // The event may still be set by the socket that a reconnect closed.
  const bool ready =
      ioctlsocket(socketHandle, FIONBIO, &nonBlocking) == 0 &&
      (events == nullptr || (ResetEvent(events->network) &&
                             WSAEventSelect(socketHandle, events->network,
                                            FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE) == 0));
  if (!ready) {
    closesocket(socketHandle);
    return kInvalidHandle;
  }
  return static_cast<intptr_t>(socketHandle);
}

void CloseSocket(intptr_t handle) {
  closesocket(AsSocket(handle));
}

void ShutdownBoth(intptr_t handle) {
  shutdown(AsSocket(handle), SD_BOTH);
}

std::optional<Failure> StartConnect(intptr_t handle, const std::string& ipv4, uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  if (inet_pton(AF_INET, ipv4.c_str(), &address.sin_addr) != 1) {
    return Failure::Other;
  }
  if (connect(AsSocket(handle), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
    return std::nullopt;
  }
  const Failure failure = FailureOf(WSAGetLastError());
  if (failure == Failure::WouldBlock) {
    return std::nullopt;
  }
  return failure;
}

std::optional<Failure> ConnectOutcome(intptr_t handle) {
  int error = 0;
  int length = sizeof error;
  if (getsockopt(AsSocket(handle), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error),
                 &length) != 0) {
    return FailureOf(WSAGetLastError());
  }
  if (error == 0) {
    return std::nullopt;
  }
  const Failure failure = FailureOf(error);
  // A failed connect must not be mistaken for "try again".
  return failure == Failure::WouldBlock ? Failure::Other : failure;
}

Readiness WaitReadable(intptr_t handle, intptr_t waker, uint32_t ms) {
  return Wait(handle, waker, false, ms);
}
Readiness WaitWritable(intptr_t handle, intptr_t waker, uint32_t ms) {
  return Wait(handle, waker, true, ms);
}

long long SendSome(intptr_t handle, const void* data, size_t size) {
  const int chunk = size > 0x40000000 ? 0x40000000 : static_cast<int>(size);
  const int sent = send(AsSocket(handle), static_cast<const char*>(data), chunk, 0);
  return sent == SOCKET_ERROR ? -1 : sent;
}

long long ReceiveSome(intptr_t handle, void* buffer, size_t size) {
  const int chunk = size > 0x40000000 ? 0x40000000 : static_cast<int>(size);
  const int received = recv(AsSocket(handle), static_cast<char*>(buffer), chunk, 0);
  return received == SOCKET_ERROR ? -1 : received;
}

Failure LastFailure() {
  return FailureOf(WSAGetLastError());
}

std::string PeerAddress(intptr_t handle) {
  sockaddr_in address{};
  int length = sizeof address;
  char text[INET_ADDRSTRLEN] = {};
  if (getpeername(AsSocket(handle), reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
      address.sin_family != AF_INET ||
      inet_ntop(AF_INET, &address.sin_addr, text, sizeof text) == nullptr) {
    return std::string();
  }
  return std::string(text);
}

}  // namespace net::os
