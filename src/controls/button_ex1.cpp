#include "controls/button_ex1.h"

#include "controls/track_mouse_leave.h"
#include "framework/memory_dc.h"
#include "framework/message_entries.h"

namespace {

constexpr COLORREF kKeyColour = RGB(255, 0, 255);

}  // namespace

IMPLEMENT_DYNAMIC(CButtonEx1, CButton)

BEGIN_MESSAGE_MAP(CButtonEx1, CButton)
ON_WM_ERASEBKGND()
ON_WM_MOUSEMOVE()
ON_MESSAGE(WM_MOUSELEAVE, &CButtonEx1::OnMouseLeave)
ON_MESSAGE(WM_NCDESTROY, &CButtonEx1::OnNcDestroy)
END_MESSAGE_MAP()

void CButtonEx1::PreSubclassWindow() {
  CButton::PreSubclassWindow();
  m_transparent.Attach(m_hWnd);
}

void CButtonEx1::SetBitmaps(UINT normalId, UINT hoverId, UINT pressedId) {
  m_bmpNormal.LoadBitmap(LOWORD(normalId));
  m_bmpHover.LoadBitmap(LOWORD(hoverId));
  m_bmpPressed.LoadBitmap(LOWORD(pressedId));
  // Without a normal face there is no size to take.
  const CSize size = m_bmpNormal.GetSize();
  if (size.cx > 0) {
    SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
  }
  Invalidate(TRUE);
}

void CButtonEx1::DrawItem(DRAWITEMSTRUCT* item) {
  CDC dc(item->hDC);
  Paint(dc, item->rcItem, (item->itemState & ODS_SELECTED) != 0);
}

void CButtonEx1::Paint(CDC& dc, const CRect& item, bool pressed) {
  CMemoryDC canvas(dc, item.Width(), item.Height());
  m_transparent.DrawParentBackground(canvas);
  const CSize normalSize = m_bmpNormal.GetSize();
  // Faces are stretched from the normal face's size to the item; a missing normal face leaves
  // each face its own size.
  auto draw = [&](const CBitmap& face) {
    if (face.GetSafeHandle() == nullptr) {
      return;
    }
    const CSize source = normalSize.cx > 0 ? normalSize : face.GetSize();
    CDC faceDC;
    faceDC.CreateCompatibleDC(&dc);
    const ScopedSelection selected(faceDC, face);
    canvas.TransparentBlt(0, 0, item.Width(), item.Height(), &faceDC, 0, 0, source.cx, source.cy,
                          kKeyColour);
  };
  if (m_bMouseInside) {
    draw(m_bmpHover);
  }
  if (pressed) {
    // Where the pressed face is transparent, the hover face shows through.
    draw(m_bmpPressed);
  } else if (!m_bMouseInside) {
    draw(m_bmpNormal);
  }
  canvas.CopyTo(dc, item.left, item.top);
}

// The face covers the whole button and is drawn with its background; erasing would flicker.
BOOL CButtonEx1::OnEraseBkgnd(CDC*) {
  return TRUE;
}

void CButtonEx1::OnMouseMove(UINT, CPoint) {
  Default();
  if (!m_bMouseInside) {
    SetMouseInside(TrackMouseLeave(m_hWnd));
  }
}

LRESULT CButtonEx1::OnMouseLeave(WPARAM, LPARAM) {
  SetMouseInside(FALSE);
  return 1;
}

void CButtonEx1::SetMouseInside(BOOL inside) {
  if (m_bMouseInside != inside) {
    m_bMouseInside = inside;
    Invalidate(FALSE);
  }
}

LRESULT CButtonEx1::OnNcDestroy(WPARAM, LPARAM) {
  m_transparent.Detach();
  return Default();
}
