#include "engine/part_file_appender.h"

#include <utility>

#include "engine/messages.h"

CPartFileAppender::CPartFileAppender(platform::File& file, platform::MessageTarget& owner,
                                     CSpareBuffers& spares)
    : m_file(file), m_owner(owner), m_spares(spares) {}

CPartFileAppender::~CPartFileAppender() {
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_bStop = true;
  }
  m_queued.notify_one();
  WaitForThreadEnd();
}

void CPartFileAppender::Append(std::unique_ptr<unsigned char[]> bytes, int32_t length) {
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_queue.push_back(Segment{std::move(bytes), length});
  }
  m_queued.notify_one();
}

bool CPartFileAppender::InitInstance() {
  const auto self = reinterpret_cast<uintptr_t>(this);
  for (;;) {
    std::deque<Segment> batch;
    {
      std::unique_lock<std::mutex> lock(m_lock);
      m_queued.wait(lock, [this] { return m_bStop || !m_queue.empty(); });
      if (m_bStop) {
        return false;
      }
      batch.swap(m_queue);
    }
    // Whatever came meanwhile shares one flush: on the disk before any of it counts, so that
    // after a power cut the part file's length never runs ahead of its bytes.
    bool written = true;
    for (Segment& segment : batch) {
      if (m_bStop.load()) {
        return false;
      }
      written = m_file.Write(segment.bytes.get(), static_cast<size_t>(segment.length));
      m_spares.Keep(std::move(segment.bytes));
      if (!written) {
        break;
      }
    }
    if (!written || !m_file.Flush()) {
      m_owner.Post(WM_PART_WRITTEN, self, -1);
      return false;
    }
    m_owner.Post(WM_PART_WRITTEN, self, static_cast<intptr_t>(batch.size()));
  }
}
