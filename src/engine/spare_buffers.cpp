#include "engine/spare_buffers.h"

#include <utility>

CSpareBuffers::Buffer CSpareBuffers::Take() {
  std::lock_guard<std::mutex> lock(m_lock);
  if (m_kept.empty()) {
    return nullptr;
  }
  Buffer buffer = std::move(m_kept.back());
  m_kept.pop_back();
  return buffer;
}

void CSpareBuffers::Keep(Buffer buffer) {
  std::lock_guard<std::mutex> lock(m_lock);
  if (buffer != nullptr && m_kept.size() < kMaxKept) {
    m_kept.push_back(std::move(buffer));
  }
}

void CSpareBuffers::Clear() {
  std::vector<Buffer> kept;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    kept.swap(m_kept);
  }
}
