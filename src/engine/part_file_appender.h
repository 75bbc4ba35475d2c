#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

#include "engine/spare_buffers.h"
#include "platform/file.h"
#include "platform/message_target.h"
#include "platform/thread.h"

// Appends finished segments to the part file on a thread of its own, in the order they are
// given, and flushes each batch to the disk before reporting it with WM_PART_WRITTEN (wParam:
// this appender, lParam: the segments now on the disk, or -1 once a write or flush has failed).
// The window's thread then never waits for the disk, which on a fast line is what it would
// otherwise spend most of its time on.
//
// Threads: from StartThread until the destructor has waited for the thread, the file belongs to the
// appender's thread alone. Append hands a segment over under the lock; the thread takes the
// queue under the same lock, so the segment's bytes (written by its worker, whose completion the
// window's thread has acquired) are visible to it. After a failure nothing more is written: a
// segment appended behind a partly written one would leave a hole in the prefix.
class CPartFileAppender : public platform::CWinThread {
 public:
  // Written segments' buffers go to spares, which must outlive the appender.
  CPartFileAppender(platform::File& file, platform::MessageTarget& owner, CSpareBuffers& spares);
  // Stops after the write under way (what is still queued is dropped: the part file stays an
  // exact prefix) and waits for the thread.
  ~CPartFileAppender() override;

  // Window's thread: the segment's bytes go after those appended before.
  void Append(std::unique_ptr<unsigned char[]> bytes, int32_t length);

  bool InitInstance() override;

 private:
  struct Segment {
    std::unique_ptr<unsigned char[]> bytes;
    int32_t length;
  };

  platform::File& m_file;
  platform::MessageTarget& m_owner;
  CSpareBuffers& m_spares;
  std::mutex m_lock;
  std::condition_variable m_queued;
  std::deque<Segment> m_queue;  // under m_lock
  // Set under m_lock, so that the thread cannot miss it between its look and its wait; read
  // without it between the writes of a batch.
  std::atomic<bool> m_bStop{false};
};
