#include "controls/button_ex1.h"

#include "controls/track_mouse_leave.h"
#include "framework/memory_dc.h"
#include "framework/message_entries.h"

namespace {

constexpr COLORREF kKeyColour = RGB(255, 0, 255);
// The focus rectangle's distance from the button's edges, inside the faces' cut corners.
constexpr int kFocusInset = 2;

}  // namespace

IMPLEMENT_DYNAMIC(CButtonEx1, CButton)

BEGIN_MESSAGE_MAP(CButtonEx1, CButton)
ON_WM_ERASEBKGND()
ON_WM_MOUSEMOVE()
ON_MESSAGE(WM_MOUSELEAVE, &CButtonEx1::OnMouseLeave)
ON_MESSAGE(WM_NCDESTROY, &CButtonEx1::OnNcDestroy)
ON_MESSAGE(WM_GETDLGCODE, &CButtonEx1::OnGetDlgCode)
ON_MESSAGE(BM_SETSTYLE, &CButtonEx1::OnSetStyle)
ON_MESSAGE(WM_LBUTTONDBLCLK, &CButtonEx1::OnDoubleClick)
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
  // The window's keyboard cues decide, as for standard buttons: hidden until a key is used.
  const bool cuesHidden =
      (item->itemState & ODS_NOFOCUSRECT) != 0 ||
      (::SendMessageA(GetAncestor(m_hWnd, GA_ROOT), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0;
  const bool showFocus = (item->itemState & ODS_FOCUS) != 0 && !cuesHidden;
  Paint(dc, item->rcItem, (item->itemState & ODS_SELECTED) != 0, showFocus);
}

void CButtonEx1::Paint(CDC& dc, const CRect& item, bool pressed, bool focused) {
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
  if (focused) {
    CRect focus(0, 0, item.Width(), item.Height());
    focus.DeflateRect(kFocusInset, kFocusInset);
    ::DrawFocusRect(canvas.GetSafeHdc(), &focus);
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

// The dialog manager lets Enter press the focused button and moves the default along with the
// focus only for buttons that answer as push buttons.
LRESULT CButtonEx1::OnGetDlgCode(WPARAM, LPARAM lParam) {
  // The dialog manager asks with each key it handles for the focused control: a key in use
  // shows the keyboard cues, where the system's dialog manager does not do so itself.
  const auto* message = reinterpret_cast<const MSG*>(lParam);
  if (message != nullptr && (message->message == WM_KEYDOWN || message->message == WM_SYSKEYDOWN)) {
    ::SendMessageA(GetAncestor(m_hWnd, GA_ROOT), WM_CHANGEUISTATE,
                   MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  }
  return DLGC_BUTTON | (m_bDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

// The dialog manager marks the default button by giving it BS_DEFPUSHBUTTON as its type, which
// would end its owner drawing: the mark is kept here and the type stays owner-drawn.
LRESULT CButtonEx1::OnSetStyle(WPARAM wParam, LPARAM lParam) {
  m_bDefault = (wParam & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  return DefWindowProc(BM_SETSTYLE, (wParam & ~BS_TYPEMASK) | BS_OWNERDRAW, lParam);
}

// An owner-drawn button reports a quick second click as a double-click, which nothing listens
// to; it is pressed like the first.
LRESULT CButtonEx1::OnDoubleClick(WPARAM wParam, LPARAM lParam) {
  return DefWindowProc(WM_LBUTTONDOWN, wParam, lParam);
}
