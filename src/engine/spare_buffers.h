#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

// Segment buffers kept for the next segments. A new 1.5 MiB buffer costs a page fault for each of
// its pages (on Windows also a VirtualAlloc and a VirtualFree of its own), which at the fastest
// pace, a segment every few milliseconds, is a good part of the program's own time. A new buffer
// is made only when none is kept, so keeping them never raises the most memory the download
// holds at once.
class CSpareBuffers {
 public:
  using Buffer = std::unique_ptr<unsigned char[]>;

  // A kept buffer, or nullptr when none is kept. Any thread.
  Buffer Take();
  // Keeps the buffer for a later segment, or frees it when enough are kept. Any thread.
  void Keep(Buffer buffer);
  // Frees every kept buffer: no segment is to come.
  void Clear();

 private:
  static constexpr size_t kMaxKept = 8;

  std::mutex m_lock;
  std::vector<Buffer> m_kept;  // under m_lock
};
