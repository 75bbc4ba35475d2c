#pragma once

#include <optional>

#include "framework/dc.h"
#include "framework/gdi_object.h"

// An off-screen canvas for painting without flicker: a memory DC compatible with another DC, with
// a compatible bitmap of the given size selected into it while the canvas lives. Draw into it,
// then put it on the target with one CopyTo. The bitmap is deselected before it is deleted, and
// both before the DC.
class CMemoryDC : public CDC {
 public:
  CMemoryDC(CDC& compatibleWith, int width, int height);

  // The whole canvas to (x, y) of the target, SRCCOPY.
  BOOL CopyTo(CDC& target, int x, int y);

 private:
  int m_nWidth;
  int m_nHeight;
  CBitmap m_bitmap;
  std::optional<ScopedSelection> m_selection;
};
