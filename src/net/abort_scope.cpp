#include "net/abort_scope.h"

#include <algorithm>

namespace net {
namespace {

template <typename T>
void Erase(std::vector<T*>& items, T* item) {
  items.erase(std::remove(items.begin(), items.end(), item), items.end());
}

}  // namespace

AbortScope::AbortScope(AbortScope& parent) : parent_(&parent) {
  parent_->AddChild(*this);
}

AbortScope::~AbortScope() {
  if (parent_ != nullptr) {
    parent_->RemoveChild(*this);
  }
}

void AbortScope::Abort() {
  std::lock_guard<std::mutex> lock(mutex_);
  aborted_ = true;
  for (Socket* socket : sockets_) {
    socket->Abort();
  }
  for (AbortScope* child : children_) {
    child->Abort();
  }
}

bool AbortScope::IsAborted() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return aborted_;
}

void AbortScope::Add(Socket& socket) {
  std::lock_guard<std::mutex> lock(mutex_);
  sockets_.push_back(&socket);
  if (aborted_) {
    socket.Abort();
  }
}

void AbortScope::Remove(Socket& socket) {
  std::lock_guard<std::mutex> lock(mutex_);
  Erase(sockets_, &socket);
}

void AbortScope::AddChild(AbortScope& child) {
  std::lock_guard<std::mutex> lock(mutex_);
  children_.push_back(&child);
  if (aborted_) {
    child.Abort();
  }
}

void AbortScope::RemoveChild(AbortScope& child) {
  std::lock_guard<std::mutex> lock(mutex_);
  Erase(children_, &child);
}

}  // namespace net
