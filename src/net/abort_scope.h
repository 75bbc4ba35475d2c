#pragma once

#include <mutex>
#include <vector>

#include "net/socket.h"

namespace net {

// The sockets that one Close must break, from any thread. A session's scope holds its
// connections' scopes; a connection's scope holds its control and data sockets. Once aborted, a
// scope aborts every socket and scope added to it later at once.
class AbortScope {
 public:
  AbortScope() = default;
  // A scope inside parent, which must outlive it.
  explicit AbortScope(AbortScope& parent);
  ~AbortScope();
  AbortScope(const AbortScope&) = delete;
  AbortScope& operator=(const AbortScope&) = delete;

  void Abort();
  bool IsAborted() const;

  // The socket must be removed before it is closed or destroyed.
  void Add(Socket& socket);
  void Remove(Socket& socket);

 private:
  void AddChild(AbortScope& child);
  void RemoveChild(AbortScope& child);

  AbortScope* parent_ = nullptr;
  // Orders Abort against Add and Remove: a socket or child scope is never touched by Abort once
  // its Remove has returned. Locks are taken parent before child, and scope before socket.
  mutable std::mutex mutex_;
  bool aborted_ = false;
  std::vector<Socket*> sockets_;
  std::vector<AbortScope*> children_;
};

// A socket registered with a scope for its whole life.
class ScopedSocket {
 public:
  explicit ScopedSocket(AbortScope& scope) : scope_(scope) { scope_.Add(socket_); }
  ~ScopedSocket() { scope_.Remove(socket_); }
  ScopedSocket(const ScopedSocket&) = delete;
  ScopedSocket& operator=(const ScopedSocket&) = delete;

  Socket& operator*() { return socket_; }
  Socket* operator->() { return &socket_; }

 private:
  AbortScope& scope_;
  Socket socket_;
};

}  // namespace net
