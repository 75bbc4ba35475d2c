#pragma once

#include <cstdint>
#include <memory>

namespace platform {

constexpr uint32_t kInfinite = 0xFFFFFFFFu;

// A manual-reset event: once set it stays set until Reset, and releases every waiter.
// All operations are safe from any thread.
class Event {
 public:
  explicit Event(bool initiallySet = false);
  ~Event();
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  void Set();
  void Reset();
  bool IsSet() const;
  // True when the event is (or becomes) set within timeoutMs; kInfinite waits for ever.
  bool Wait(uint32_t timeoutMs);

  struct Impl;
  Impl& impl() { return *impl_; }

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
