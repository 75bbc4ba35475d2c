#include "framework/dc.h"

#include "framework/gdi_object.h"
#include "framework/wnd.h"
#include "platform/wide_win32.h"

CDC::~CDC() {
  DeleteDC();
}

BOOL CDC::CreateCompatibleDC(CDC* dc) {
  DeleteDC();
  m_hDC = ::CreateCompatibleDC(dc != nullptr ? dc->m_hDC : nullptr);
  m_bOwnsDC = m_hDC != nullptr;
  return m_bOwnsDC;
}

BOOL CDC::DeleteDC() {
  if (!m_bOwnsDC) {
    return FALSE;
  }
  m_bOwnsDC = false;
  const HDC dc = m_hDC;
  m_hDC = nullptr;
  return ::DeleteDC(dc);
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY,
                 DWORD rop) {
  return ::BitBlt(m_hDC, x, y, width, height, source->m_hDC, sourceX, sourceY, rop);
}

BOOL CDC::TransparentBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY,
                         int sourceWidth, int sourceHeight, COLORREF keyColour) {
  // gdi32's own, a known DLL; msimg32's TransparentBlt is only a wrapper around it and is not.
  return ::GdiTransparentBlt(m_hDC, x, y, width, height, source->m_hDC, sourceX, sourceY,
                             sourceWidth, sourceHeight, keyColour);
}

void CDC::FillSolidRect(const RECT* rect, COLORREF colour) {
  const CBrush brush(colour);
  ::FillRect(m_hDC, rect, brush);
}

int CDC::DrawText(const std::string& text, RECT* rect, UINT format) {
  const std::wstring wide = platform::WideText(text);
  return ::DrawTextW(m_hDC, wide.c_str(), static_cast<int>(wide.size()), rect, format);
}

CSize CDC::GetTextExtent(const std::string& text) const {
  const std::wstring wide = platform::WideText(text);
  SIZE size{0, 0};
  ::GetTextExtentPoint32W(m_hDC, wide.c_str(), static_cast<int>(wide.size()), &size);
  return CSize(size.cx, size.cy);
}

CPaintDC::CPaintDC(CWnd* wnd) : m_hWndPainted(wnd->m_hWnd) {
  m_hDC = ::BeginPaint(m_hWndPainted, &m_ps);
}

CPaintDC::~CPaintDC() {
  ::EndPaint(m_hWndPainted, &m_ps);
}

CClientDC::CClientDC(CWnd* wnd) : m_hWndOwner(wnd != nullptr ? wnd->m_hWnd : nullptr) {
  m_hDC = ::GetDC(m_hWndOwner);
}

CClientDC::~CClientDC() {
  ::ReleaseDC(m_hWndOwner, m_hDC);
}
