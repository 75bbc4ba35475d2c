#pragma once

#include "framework/wnd.h"

// The common tooltip control, as a popup owned by another window. Tools are identified by the
// window they cover and an id of the caller's choice.
class CToolTipCtrl : public CWnd {
 public:
  BOOL Create(CWnd* owner, DWORD style = 0);
  // A tool over the rectangle of the window's client area (the whole area when null). The tooltip
  // watches the tool window's mouse messages itself (TTF_SUBCLASS): nothing needs to relay them.
  BOOL AddTool(CWnd* wnd, const char* text, const RECT* rect = nullptr, UINT_PTR id = 0);
  void UpdateTipText(const char* text, CWnd* wnd, UINT_PTR id = 0);
  void Activate(BOOL activate);
};
