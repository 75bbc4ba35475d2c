#pragma once

#include <windows.h>

// Points, sizes and rectangles in the forms the Win32 calls take, with the few helpers the
// controls' layout code needs.

class CPoint : public POINT {
 public:
  CPoint() : POINT{0, 0} {}
  CPoint(int xValue, int yValue) : POINT{xValue, yValue} {}
  // The signed client coordinates packed into a mouse message's lParam.
  static CPoint FromLParam(LPARAM lParam) {
    return CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
  }
};

class CSize : public SIZE {
 public:
  CSize() : SIZE{0, 0} {}
  CSize(int cxValue, int cyValue) : SIZE{cxValue, cyValue} {}
};

class CRect : public RECT {
 public:
  CRect() : RECT{0, 0, 0, 0} {}
  CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
  CRect(const RECT& rect) : RECT(rect) {}

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
  BOOL PtInRect(POINT point) const { return ::PtInRect(this, point); }
  void InflateRect(int dx, int dy) { ::InflateRect(this, dx, dy); }
  void DeflateRect(int dx, int dy) { ::InflateRect(this, -dx, -dy); }
};

// The rectangle a child window covers in its parent's client area.
inline CRect RectInParent(HWND child) {
  CRect rect;
  ::GetWindowRect(child, &rect);
  ::MapWindowPoints(HWND_DESKTOP, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}
