#include "controls/skin_progress_ctrl.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "framework/memory_dc.h"
#include "framework/message_entries.h"
#include "framework/win_app.h"

namespace {

constexpr COLORREF kBackgroundColour = RGB(50, 50, 50);
// One percent of the bar's length, as a single-precision constant: it lies just below 0.01, so a
// full bar leaves its last pixel column (or top row) in the background colour.
constexpr float kOnePercent = 0.01f;

// The fill length for a percentage, truncated toward zero.
int FillLength(int barLength, int percent) {
  return static_cast<int>(static_cast<double>(barLength) * kOnePercent * percent);
}

}  // namespace

BEGIN_MESSAGE_MAP(CSkinProgressCtrl, CProgressCtrl)
ON_WM_PAINT()
END_MESSAGE_MAP()

void CSkinProgressCtrl::PreSubclassWindow() {
  CProgressCtrl::PreSubclassWindow();
  const LONG_PTR exStyle = GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE);
  const LONG_PTR edges = WS_EX_STATICEDGE | WS_EX_CLIENTEDGE;
  if ((exStyle & edges) != 0) {
    SetWindowLongPtrA(m_hWnd, GWL_EXSTYLE, exStyle & ~edges);
    SetWindowPos(nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

int CSkinProgressCtrl::SetBarBitmap(UINT id, BOOL redraw) {
  const HANDLE bitmap =
      LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(LOWORD(id)), IMAGE_BITMAP, 0, 0, 0);
  return SetBarBitmapHandle(static_cast<HBITMAP>(bitmap), redraw);
}

int CSkinProgressCtrl::SetBarBitmapHandle(HBITMAP bitmap, BOOL redraw) {
  m_bmpBar.Attach(bitmap);
  m_nBarWidth = 0;
  m_nBarHeight = 0;
  if (bitmap != nullptr) {
    const CSize size = m_bmpBar.GetSize();
    if (size.cx == 0) {  // the header could not be read
      m_bmpBar.DeleteObject();
      return 1;
    }
    m_nBarWidth = size.cx;
    m_nBarHeight = size.cy;
  }
  if (redraw) {
    Invalidate(TRUE);
  }
  return 0;
}

void CSkinProgressCtrl::SetRange(int lower, int upper) {
  m_nLower = lower;
  m_nUpper = upper;
  const long long span = std::llabs(static_cast<long long>(upper) - lower);
  m_nSpan = span == 0 ? 1 : static_cast<int>(std::min<long long>(span, INT_MAX));
  SendMessage(PBM_SETRANGE, 0, MAKELPARAM(lower, upper));
}

int CSkinProgressCtrl::SetStep(int step) {
  m_nStep = step;
  return static_cast<int>(SendMessage(PBM_SETSTEP, static_cast<WPARAM>(step)));
}

int CSkinProgressCtrl::SetPos(int position) {
  // In this order, so that a reversed range ends at its upper bound.
  position = std::max(position, m_nLower);
  position = std::min(position, m_nUpper);
  m_nPos = position;
  return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(position)));
}

void CSkinProgressCtrl::OnPaint() {
  if (m_bmpBar.GetSafeHandle() == nullptr) {
    Default();
    return;
  }
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  Paint(dc, client);
}

void CSkinProgressCtrl::Paint(CDC& dc, const CRect& client) {
  const DWORD style = GetStyle();
  const CBrush background(kBackgroundColour);
  CRect bar = client;
  if (style & WS_BORDER) {
    dc.FrameRect(&bar, background);
    bar.DeflateRect(1, 1);
  }
  dc.FillRect(&bar, background);
  bar.DeflateRect(1, 1);

  const CRect fill = FillArea(bar, style);
  if (fill.IsRectEmpty()) {
    return;
  }
  CDC tileDC;
  tileDC.CreateCompatibleDC(&dc);
  const ScopedSelection tile(tileDC, m_bmpBar);
  CMemoryDC canvas(dc, fill.Width(), fill.Height());
  for (int y = 0; y < fill.Height(); y += m_nBarHeight) {
    for (int x = 0; x < fill.Width(); x += m_nBarWidth) {
      canvas.BitBlt(x, y, m_nBarWidth, m_nBarHeight, &tileDC, 0, 0, SRCCOPY);
    }
  }
  canvas.CopyTo(dc, fill.left, fill.top);
}

CRect CSkinProgressCtrl::FillArea(const CRect& bar, DWORD style) const {
  // The offset from the lower bound: a positive lower bound counts from itself, not from 0.
  const int percent =
      static_cast<int>((static_cast<double>(m_nPos) - m_nLower) * (100.0 / m_nSpan));
  CRect fill = bar;
  if (style & PBS_VERTICAL) {
    fill.top = bar.bottom - FillLength(bar.Height(), percent);
    if (fill.top < bar.top) {
      fill.top = bar.top + 1;
    }
  } else {
    fill.right = bar.left + FillLength(bar.Width(), percent);
    if (fill.right > bar.right) {
      fill.right = bar.right - 1;
    }
  }
  return fill;
}
