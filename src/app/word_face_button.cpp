#include "app/word_face_button.h"

#include "framework/dc.h"
#include "framework/gdi_object.h"

namespace {

constexpr COLORREF kFaceColour = RGB(46, 84, 140);
constexpr COLORREF kPressedColour = RGB(24, 48, 88);
constexpr COLORREF kEdgeColour = RGB(190, 200, 215);
constexpr COLORREF kWordColour = RGB(255, 255, 255);

}  // namespace

void CWordFaceButton::SetFaces(const ButtonFaces& faces) {
  m_strWord = faces.word;
  if (m_hWnd != nullptr) {
    // The word is also the button's text, so what reads the window (a screen reader, a test)
    // names the button by what it shows.
    SetWindowText(faces.word);
    Invalidate(FALSE);
  }
}

void CWordFaceButton::DrawItem(DRAWITEMSTRUCT* item) {
  CDC dc(item->hDC);
  CRect face(item->rcItem);
  const bool pressed = (item->itemState & ODS_SELECTED) != 0;
  dc.FillSolidRect(&face, pressed ? kPressedColour : kFaceColour);
  const CBrush edge(kEdgeColour);
  dc.FrameRect(&face, edge);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(kWordColour);
  dc.DrawText(m_strWord, &face, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}
