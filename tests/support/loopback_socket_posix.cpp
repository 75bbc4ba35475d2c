#include "support/loopback_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace testsupport {
namespace {

[[noreturn]] void Fail(const char* what) {
  throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

sockaddr_in Loopback(uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  return address;
}

// Close-on-exec throughout: a server started later must not inherit another server's lifeline,
// or that server would never see its end.
int NewSocket() {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    Fail("socket");
  }
  return fd;
}

bool WaitFor(int fd, short events, std::chrono::milliseconds timeout) {
  pollfd entry{fd, events, 0};
  int ready;
  do {
    ready = poll(&entry, 1, static_cast<int>(timeout.count()));
  } while (ready < 0 && errno == EINTR);
  return ready > 0;
}

}  // namespace

std::unique_ptr<LoopbackStream> LoopbackStream::Connect(uint16_t port) {
  int fd = NewSocket();
  sockaddr_in address = Loopback(port);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    int error = errno;
    close(fd);
    errno = error;
    Fail("connect to 127.0.0.1");
  }
  return std::make_unique<LoopbackStream>(fd);
}

LoopbackStream::LoopbackStream(intptr_t handle) : handle_(handle) {}

LoopbackStream::~LoopbackStream() {
  close(static_cast<int>(handle_));
}

bool LoopbackStream::Receive(std::chrono::milliseconds slice, std::string& received) {
  int fd = static_cast<int>(handle_);
  if (!WaitFor(fd, POLLIN, slice)) {
    return true;
  }
  char buffer[4096];
  ssize_t count = recv(fd, buffer, sizeof buffer, 0);
  if (count <= 0) {
    return false;
  }
  received.append(buffer, static_cast<size_t>(count));
  return true;
}

void LoopbackStream::Send(const std::string& data) {
  size_t sent = 0;
  while (sent < data.size()) {
    ssize_t count =
        send(static_cast<int>(handle_), data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (count < 0 && errno != EINTR) {
      Fail("send");
    }
    sent += count > 0 ? static_cast<size_t>(count) : 0;
  }
}

void LoopbackStream::EndSending() {
  shutdown(static_cast<int>(handle_), SHUT_WR);
}

LoopbackListener::LoopbackListener() : handle_(NewSocket()) {
  int fd = static_cast<int>(handle_);
  sockaddr_in address = Loopback(0);
  socklen_t length = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 4) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    int error = errno;
    close(fd);
    errno = error;
    Fail("listen on 127.0.0.1");
  }
  port_ = ntohs(address.sin_port);
}

LoopbackListener::~LoopbackListener() {
  close(static_cast<int>(handle_));
}

std::unique_ptr<LoopbackStream> LoopbackListener::Accept(std::chrono::milliseconds slice) {
  int fd = static_cast<int>(handle_);
  if (!WaitFor(fd, POLLIN, slice)) {
    return nullptr;
  }
  int connection = accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
  if (connection < 0) {
    Fail("accept");
  }
  return std::make_unique<LoopbackStream>(connection);
}

}  // namespace testsupport
