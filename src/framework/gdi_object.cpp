#include "framework/gdi_object.h"

#include "framework/dc.h"
#include "framework/win_app.h"

namespace {

// Attaches a freshly made object; true when there is one.
template <class Object, class Handle>
BOOL Take(Object& object, Handle handle) {
  object.Attach(handle);
  return handle != nullptr;
}

}  // namespace

BOOL CBitmap::LoadBitmap(UINT id) {
  return Take(*this, ::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id)));
}

CSize CBitmap::GetSize() const {
  BITMAP header{};
  return GetBitmap(&header) != 0 ? CSize(header.bmWidth, header.bmHeight) : CSize();
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
  return Take(*this, ::CreateCompatibleBitmap(dc->GetSafeHdc(), width, height));
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* logFont) {
  return Take(*this, ::CreateFontIndirectA(logFont));
}

BOOL CBrush::CreateSolidBrush(COLORREF colour) {
  return Take(*this, ::CreateSolidBrush(colour));
}
