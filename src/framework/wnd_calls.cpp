// The thin calls of CWnd: each is the Win32 call of the same name on the bound window.
#include "framework/gdi_object.h"
#include "framework/wnd.h"
#include "platform/wide_win32.h"

int CWnd::GetDlgCtrlID() const {
  return ::GetDlgCtrlID(m_hWnd);
}

void CWnd::SetWindowText(const char* text) {
  ::SetWindowTextW(m_hWnd, text != nullptr ? platform::WideText(text).c_str() : nullptr);
}

void CWnd::GetWindowText(std::string& text) const {
  std::wstring wide(static_cast<size_t>(::GetWindowTextLengthW(m_hWnd)) + 1, L'\0');
  wide.resize(
      static_cast<size_t>(::GetWindowTextW(m_hWnd, &wide[0], static_cast<int>(wide.size()))));
  text = platform::Utf8Text(wide);
}

int CWnd::MessageBox(const char* text, const char* caption, UINT type) {
  return ::MessageBoxW(m_hWnd, platform::WideText(text).c_str(),
                       platform::WideText(caption).c_str(), type);
}

BOOL CWnd::ShowWindow(int command) {
  return ::ShowWindow(m_hWnd, command);
}

BOOL CWnd::IsWindowVisible() const {
  return ::IsWindowVisible(m_hWnd);
}

BOOL CWnd::IsIconic() const {
  return ::IsIconic(m_hWnd);
}

void CWnd::Invalidate(BOOL erase) {
  InvalidateRect(nullptr, erase);
}

void CWnd::InvalidateRect(const RECT* rect, BOOL erase) {
  // A null window would invalidate every window of the desktop.
  if (m_hWnd != nullptr) {
    ::InvalidateRect(m_hWnd, rect, erase);
  }
}

void CWnd::UpdateWindow() {
  ::UpdateWindow(m_hWnd);
}

void CWnd::GetClientRect(RECT* rect) const {
  ::GetClientRect(m_hWnd, rect);
}

void CWnd::GetWindowRect(RECT* rect) const {
  ::GetWindowRect(m_hWnd, rect);
}

void CWnd::ScreenToClient(POINT* point) const {
  ::ScreenToClient(m_hWnd, point);
}

void CWnd::ScreenToClient(RECT* rect) const {
  ::MapWindowPoints(HWND_DESKTOP, m_hWnd, reinterpret_cast<POINT*>(rect), 2);
}

void CWnd::ClientToScreen(POINT* point) const {
  ::ClientToScreen(m_hWnd, point);
}

void CWnd::ClientToScreen(RECT* rect) const {
  ::MapWindowPoints(m_hWnd, HWND_DESKTOP, reinterpret_cast<POINT*>(rect), 2);
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
  ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}

void CWnd::MoveWindow(const RECT* rect, BOOL repaint) {
  MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

BOOL CWnd::SetWindowPos(HWND insertAfter, int x, int y, int width, int height, UINT flags) {
  return ::SetWindowPos(m_hWnd, insertAfter, x, y, width, height, flags);
}

DWORD CWnd::GetStyle() const {
  return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE));
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add) {
  const DWORD style = GetStyle();
  const DWORD changed = (style & ~remove) | add;
  if (changed == style) {
    return FALSE;
  }
  ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(changed));
  return TRUE;
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapseMs, TIMERPROC timerProc) {
  return ::SetTimer(m_hWnd, id, elapseMs, timerProc);
}

BOOL CWnd::KillTimer(UINT_PTR id) {
  return ::KillTimer(m_hWnd, id);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

void CWnd::SetFont(CFont* font, BOOL redraw) {
  SendMessage(WM_SETFONT,
              reinterpret_cast<WPARAM>(font != nullptr ? font->GetSafeHandle() : nullptr), redraw);
}

HFONT CWnd::GetFont() const {
  return reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
}

HICON CWnd::SetIcon(HICON icon, BOOL big) {
  return reinterpret_cast<HICON>(
      SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

BOOL CWnd::LockWindowUpdate() {
  return ::LockWindowUpdate(m_hWnd);
}

void CWnd::UnlockWindowUpdate() {
  ::LockWindowUpdate(nullptr);
}
