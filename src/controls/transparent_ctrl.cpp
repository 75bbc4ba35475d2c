#include "controls/transparent_ctrl.h"

#include "framework/geometry.h"
#include "platform/wide_win32.h"

int TagTransparentCtrl(HWND window) {
  if (GetPropA(window, kTransparentCtrlProperty) != nullptr) {
    return 0;
  }
  SetPropA(window, kTransparentCtrlProperty, window);
  return 1;
}

int IsTransparentCtrl(HWND window) {
  return GetPropA(window, kTransparentCtrlProperty) != nullptr ? 1 : 0;
}

void RefreshTransparentChildren(HWND parent) {
  for (HWND child = GetTopWindow(parent); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (IsWindowVisible(child) && IsTransparentCtrl(child) &&
        SendMessageA(child, WM_SKIPREFRESH, 0, 0) != 1) {
      InvalidateRect(child, nullptr, TRUE);
    }
  }
}

void CopyParentBackground(CDC* background, CDC& childDC, HWND child) {
  if (background == nullptr) {
    return;
  }
  const CRect rect = RectInParent(child);
  childDC.BitBlt(0, 0, rect.Width(), rect.Height(), background, rect.left, rect.top, SRCCOPY);
}

void ReplaceWindowText(HWND control, const char* text) {
  ::DefWindowProcW(control, WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(platform::WideText(text).c_str()));
}

void CTransparentHelper::Attach(HWND control) {
  m_hWndCtrl = control;
  TagTransparentCtrl(control);
}

void CTransparentHelper::Detach() {
  if (m_hWndCtrl != nullptr) {
    RemovePropA(m_hWndCtrl, kTransparentCtrlProperty);
    m_hWndCtrl = nullptr;
  }
}

LRESULT CTransparentHelper::DrawParentBackground(CDC& dc) const {
  const HWND parent = GetParent(m_hWndCtrl);
  const auto hdc = reinterpret_cast<WPARAM>(dc.GetSafeHdc());
  const LRESULT painted =
      SendMessageA(parent, WM_PARENTBKGND, hdc, reinterpret_cast<LPARAM>(m_hWndCtrl));
  return painted != 0 ? painted : SendMessageA(parent, WM_ERASEBKGND, hdc, 0);
}
