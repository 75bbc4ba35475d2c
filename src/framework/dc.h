#pragma once

#include <windows.h>

#include <string>

#include "framework/geometry.h"

class CWnd;

// A device context. Made empty and filled by CreateCompatibleDC, it owns a memory DC and
// deletes it; made from a handle, it only borrows that DC.
class CDC {
 public:
  CDC() = default;
  explicit CDC(HDC borrowed) : m_hDC(borrowed) {}
  virtual ~CDC();
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  HDC GetSafeHdc() const { return m_hDC; }

  // A memory DC compatible with the given one (the screen's when null).
  BOOL CreateCompatibleDC(CDC* dc);
  BOOL DeleteDC();
  // Returns the object of the same kind that was selected before.
  HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }

  BOOL BitBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY,
              DWORD rop);
  // Copies the source rectangle, stretched to the destination, leaving out the pixels of the
  // key colour.
  BOOL TransparentBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY,
                      int sourceWidth, int sourceHeight, COLORREF keyColour);
  void FillSolidRect(const RECT* rect, COLORREF colour);
  int FillRect(const RECT* rect, HBRUSH brush) { return ::FillRect(m_hDC, rect, brush); }
  int FrameRect(const RECT* rect, HBRUSH brush) { return ::FrameRect(m_hDC, rect, brush); }
  BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }

  int DrawText(const std::string& text, RECT* rect, UINT format);
  CSize GetTextExtent(const std::string& text) const;
  COLORREF SetTextColor(COLORREF colour) { return ::SetTextColor(m_hDC, colour); }
  COLORREF SetBkColor(COLORREF colour) { return ::SetBkColor(m_hDC, colour); }
  int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }

  HDC m_hDC = nullptr;

 private:
  bool m_bOwnsDC = false;
};

// The DC of one WM_PAINT, begun and ended with the object.
class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* wnd);
  ~CPaintDC() override;

  PAINTSTRUCT m_ps{};

 private:
  HWND m_hWndPainted;
};

// A window's client-area DC (the screen's for a null window), released with the object.
class CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* wnd);
  ~CClientDC() override;

 private:
  HWND m_hWndOwner;
};

// Selects an object into a DC for the lifetime of the scope and puts the previous one back, so
// the object is no longer selected when it is deleted.
class ScopedSelection {
 public:
  ScopedSelection(CDC& dc, HGDIOBJ object) : m_dc(dc), m_previous(dc.SelectObject(object)) {}
  ~ScopedSelection() { m_dc.SelectObject(m_previous); }
  ScopedSelection(const ScopedSelection&) = delete;
  ScopedSelection& operator=(const ScopedSelection&) = delete;

 private:
  CDC& m_dc;
  HGDIOBJ m_previous;
};
