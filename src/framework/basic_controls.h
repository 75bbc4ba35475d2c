#pragma once

#include "framework/wnd.h"

// A push button. An owner-drawn one (BS_OWNERDRAW) is painted by DrawItem: the parent passes
// its WM_DRAWITEM for the button back to the button's object.
class CButton : public CWnd {
 public:
  virtual void DrawItem(DRAWITEMSTRUCT* item);

  DECLARE_MESSAGE_MAP()
};

// A static text control.
class CStatic : public CWnd {};
