#include "framework/memory_dc.h"

CMemoryDC::CMemoryDC(CDC& compatibleWith, int width, int height)
    : m_nWidth(width), m_nHeight(height) {
  if (CreateCompatibleDC(&compatibleWith) &&
      m_bitmap.CreateCompatibleBitmap(&compatibleWith, width, height)) {
    m_selection.emplace(*this, m_bitmap);
  }
}

BOOL CMemoryDC::CopyTo(CDC& target, int x, int y) {
  return target.BitBlt(x, y, m_nWidth, m_nHeight, this, 0, 0, SRCCOPY);
}
