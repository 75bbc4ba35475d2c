#include "framework/tooltip_ctrl.h"

#include <commctrl.h>

#include "framework/common_controls.h"

namespace {

TTTOOLINFOA ToolInfo(CWnd* wnd, UINT_PTR id, const char* text) {
  TTTOOLINFOA info{};
  // The oldest layout that has everything used here: every common controls version takes it.
  info.cbSize = TTTOOLINFOA_V2_SIZE;
  info.hwnd = wnd->m_hWnd;
  info.uId = id;
  info.lpszText = const_cast<char*>(text);
  return info;
}

}  // namespace

BOOL CToolTipCtrl::Create(CWnd* owner, DWORD style) {
  fw::EnsureCommonControls();
  return CreateEx(0, TOOLTIPS_CLASSA, WS_POPUP | style, owner->m_hWnd);
}

BOOL CToolTipCtrl::AddTool(CWnd* wnd, const char* text, const RECT* rect, UINT_PTR id) {
  TTTOOLINFOA info = ToolInfo(wnd, id, text);
  info.uFlags = TTF_SUBCLASS;
  if (rect != nullptr) {
    info.rect = *rect;
  } else {
    wnd->GetClientRect(&info.rect);
  }
  return SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)) != 0;
}

void CToolTipCtrl::UpdateTipText(const char* text, CWnd* wnd, UINT_PTR id) {
  TTTOOLINFOA info = ToolInfo(wnd, id, text);
  SendMessage(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::Activate(BOOL activate) {
  SendMessage(TTM_ACTIVATE, activate);
}
