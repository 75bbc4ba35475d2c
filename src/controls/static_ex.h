#pragma once

#include "controls/transparent_ctrl.h"
#include "framework/basic_controls.h"
#include "framework/runtime_class.h"

// A single line of text in a colour of its own over the parent's background (the transparent
// control protocol): the parent must answer WM_PARENTBKGND or erase into the control's DC.
// The text is drawn in the font the paint DC comes with.
class CStaticEx : public CStatic {
  DECLARE_DYNAMIC(CStaticEx)

 public:
  // Shows at the next paint; a caller that wants it at once invalidates the control.
  void SetTextColor(COLORREF colour) { m_crText = colour; }
  // What a paint shows, into any DC: the parent's background, then the text, over the client
  // rectangle.
  void Paint(CDC& dc, const CRect& client);

 protected:
  void PreSubclassWindow() override;
  void OnPaint();
  BOOL OnEraseBkgnd(CDC* dc);
  LRESULT OnNcDestroy(WPARAM, LPARAM);

 private:
  CTransparentHelper m_transparent;
  COLORREF m_crText = RGB(0, 0, 0);

  DECLARE_MESSAGE_MAP()
};
