#pragma once

#include <windows.h>

#include "framework/geometry.h"

class CDC;

// Owns one GDI object: replacing it (Attach, a Create or Load call) or destroying the wrapper
// deletes the object held so far. Converts to its handle for the Win32 calls.
template <class Handle>
class CGdiObject {
 public:
  CGdiObject() = default;
  ~CGdiObject() { DeleteObject(); }
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;

  Handle GetSafeHandle() const { return m_handle; }
  operator Handle() const { return m_handle; }

  void Attach(Handle handle) {
    DeleteObject();
    m_handle = handle;
  }
  Handle Detach() {
    const Handle handle = m_handle;
    m_handle = nullptr;
    return handle;
  }
  BOOL DeleteObject() { return ::DeleteObject(Detach()); }
  int GetObject(int size, void* out) const { return ::GetObjectA(m_handle, size, out); }

 private:
  Handle m_handle = nullptr;
};

class CBitmap : public CGdiObject<HBITMAP> {
 public:
  // A bitmap resource of the program's resource module.
  BOOL LoadBitmap(UINT id);
  BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
  int GetBitmap(BITMAP* header) const { return GetObject(sizeof(BITMAP), header); }
  // Width and height in pixels; 0 x 0 without a bitmap.
  CSize GetSize() const;
};

class CFont : public CGdiObject<HFONT> {
 public:
  BOOL CreateFontIndirect(const LOGFONTA* logFont);
  int GetLogFont(LOGFONTA* logFont) const { return GetObject(sizeof(LOGFONTA), logFont); }
};

class CBrush : public CGdiObject<HBRUSH> {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }
  BOOL CreateSolidBrush(COLORREF colour);
};
