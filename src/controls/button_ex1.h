#pragma once

#include "controls/transparent_ctrl.h"
#include "framework/basic_controls.h"
#include "framework/gdi_object.h"
#include "framework/runtime_class.h"

// A push button whose whole face is a bitmap (normal, hover or pressed) laid over the parent's
// background with magenta as the transparent colour. It draws no text or disabled look; a focus
// rectangle shows while it has the focus and the keyboard cues are on. It answers the dialog
// manager as a push button (Enter presses it, it can be the default) while staying owner-drawn.
// It asks of its parent the transparent control protocol and the BS_OWNERDRAW style on its
// window, with WM_DRAWITEM passed back to it (the framework's reflection does that).
class CButtonEx1 : public CButton {
  DECLARE_DYNAMIC(CButtonEx1)

 public:
  // Bitmap resources of the program; the button takes the normal face's size and keeps its
  // top-left corner. A face that cannot be loaded stays empty and is not drawn.
  void SetBitmaps(UINT normalId, UINT hoverId, UINT pressedId);
  void DrawItem(DRAWITEMSTRUCT* item) override;

 protected:
  void PreSubclassWindow() override;
  BOOL OnEraseBkgnd(CDC* dc);
  void OnMouseMove(UINT flags, CPoint point);
  LRESULT OnMouseLeave(WPARAM, LPARAM);
  LRESULT OnNcDestroy(WPARAM, LPARAM);
  LRESULT OnGetDlgCode(WPARAM, LPARAM lParam);
  LRESULT OnSetStyle(WPARAM wParam, LPARAM lParam);
  LRESULT OnDoubleClick(WPARAM wParam, LPARAM lParam);

 private:
  void SetMouseInside(BOOL inside);
  void Paint(CDC& dc, const CRect& item, bool pressed, bool focused);

  CBitmap m_bmpNormal;
  CBitmap m_bmpHover;
  CBitmap m_bmpPressed;
  // While set, a WM_MOUSELEAVE is on its way.
  BOOL m_bMouseInside = FALSE;
  // The dialog manager's default button: Enter presses it.
  bool m_bDefault = false;
  CTransparentHelper m_transparent;

  DECLARE_MESSAGE_MAP()
};
