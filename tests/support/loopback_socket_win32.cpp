#include "support/loopback_socket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <stdexcept>

namespace testsupport {
namespace {

[[noreturn]] void Fail(const char* what) {
  throw std::runtime_error(std::string(what) + ": Winsock error " +
                           std::to_string(WSAGetLastError()));
}

void StartWinsockOnce() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  if (!started) {
    throw std::runtime_error("WSAStartup failed");
  }
}

sockaddr_in Loopback(uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  return address;
}

SOCKET NewSocket() {
  StartWinsockOnce();
  SOCKET handle = WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0,
                             WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
  if (handle == INVALID_SOCKET) {
    Fail("socket");
  }
  return handle;
}

bool WaitReadable(SOCKET handle, std::chrono::milliseconds timeout) {
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(handle, &readable);
  timeval limit{static_cast<long>(timeout.count() / 1000),
                static_cast<long>((timeout.count() % 1000) * 1000)};
  return select(0, &readable, nullptr, nullptr, &limit) > 0;
}

SOCKET AsSocket(intptr_t handle) {
  return static_cast<SOCKET>(handle);
}

}  // namespace

std::unique_ptr<LoopbackStream> LoopbackStream::Connect(uint16_t port) {
  SOCKET handle = NewSocket();
  sockaddr_in address = Loopback(port);
  if (connect(handle, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    int error = WSAGetLastError();
    closesocket(handle);
    WSASetLastError(error);
    Fail("connect to 127.0.0.1");
  }
  return std::make_unique<LoopbackStream>(static_cast<intptr_t>(handle));
}

LoopbackStream::LoopbackStream(intptr_t handle) : handle_(handle) {}

LoopbackStream::~LoopbackStream() {
  closesocket(AsSocket(handle_));
}

bool LoopbackStream::Receive(std::chrono::milliseconds slice, std::string& received) {
  if (!WaitReadable(AsSocket(handle_), slice)) {
    return true;
  }
  char buffer[4096];
  int count = recv(AsSocket(handle_), buffer, sizeof buffer, 0);
  if (count <= 0) {
    return false;
  }
  received.append(buffer, static_cast<size_t>(count));
  return true;
}

void LoopbackStream::Send(const std::string& data) {
  size_t sent = 0;
  while (sent < data.size()) {
    int count =
        send(AsSocket(handle_), data.data() + sent, static_cast<int>(data.size() - sent), 0);
    if (count == SOCKET_ERROR) {
      Fail("send");
    }
    sent += static_cast<size_t>(count);
  }
}

void LoopbackStream::EndSending() {
  shutdown(AsSocket(handle_), SD_SEND);
}

LoopbackListener::LoopbackListener() : handle_(static_cast<intptr_t>(NewSocket())) {
  SOCKET handle = AsSocket(handle_);
  sockaddr_in address = Loopback(0);
  int length = sizeof address;
  if (bind(handle, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(handle, 4) != 0 ||
      getsockname(handle, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    int error = WSAGetLastError();
    closesocket(handle);
    WSASetLastError(error);
    Fail("listen on 127.0.0.1");
  }
  port_ = ntohs(address.sin_port);
}

LoopbackListener::~LoopbackListener() {
  closesocket(AsSocket(handle_));
}

std::unique_ptr<LoopbackStream> LoopbackListener::Accept(std::chrono::milliseconds slice) {
  if (!WaitReadable(AsSocket(handle_), slice)) {
    return nullptr;
  }
  SOCKET connection = accept(AsSocket(handle_), nullptr, nullptr);
  if (connection == INVALID_SOCKET) {
    Fail("accept");
  }
  return std::make_unique<LoopbackStream>(static_cast<intptr_t>(connection));
}

}  // namespace testsupport
