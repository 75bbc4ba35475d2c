#pragma once

namespace platform {

// On Windows a 1 ms sleep lasts a whole timer tick (about 15.6 ms) unless the system's timer
// resolution is raised, which holds each connection's one read per sleep near 256 KiB/s. While
// held, the resolution is 1 ms; that costs the whole machine power, so the download holds it only
// while its workers read. Elsewhere sleeps are fine-grained already and this does nothing.
class FineTimerResolution {
 public:
  FineTimerResolution() = default;
  ~FineTimerResolution() { Release(); }
  FineTimerResolution(const FineTimerResolution&) = delete;
  FineTimerResolution& operator=(const FineTimerResolution&) = delete;

  // Each does nothing when already in that state, so every raise is given back exactly once.
  void Hold();
  void Release();

 private:
  bool m_bHeld = false;
};

}  // namespace platform
