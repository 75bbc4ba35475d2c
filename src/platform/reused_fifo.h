#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace platform {

// A first-in, first-out list whose taken room is reused, so a steady flow through it allocates
// nothing. Not locked: its owner guards it.
template <typename T>
class ReusedFifo {
 public:
  bool Empty() const { return head_ == items_.size(); }
  size_t Size() const { return items_.size() - head_; }

  void Push(T item) { items_.push_back(std::move(item)); }

  std::optional<T> TakeOldest() {
    if (Empty()) {
      return std::nullopt;
    }
    std::optional<T> oldest = std::move(items_[head_++]);
    if (Empty()) {
      Clear();  // keeps its room
    } else if (head_ >= kCompactAfter && 2 * head_ >= items_.size()) {
      // A flow that never lets the list run empty: the taken half's room is reused.
      items_.erase(items_.begin(), items_.begin() + static_cast<std::ptrdiff_t>(head_));
      head_ = 0;
    }
    return oldest;
  }

  template <typename Predicate>
  void RemoveIf(Predicate predicate) {
    items_.erase(std::remove_if(items_.begin() + static_cast<std::ptrdiff_t>(head_), items_.end(),
                                predicate),
                 items_.end());
  }

  void Clear() {
    items_.clear();
    head_ = 0;
  }

 private:
  // Taken items at the front that make it worth moving the rest down.
  static constexpr size_t kCompactAfter = 256;

  // The items not yet taken: items_[head_...].
  std::vector<T> items_;
  size_t head_ = 0;
};

}  // namespace platform
