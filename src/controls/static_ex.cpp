#include "controls/static_ex.h"

#include <string>

#include "framework/message_entries.h"

IMPLEMENT_DYNAMIC(CStaticEx, CStatic)

BEGIN_MESSAGE_MAP(CStaticEx, CStatic)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_MESSAGE(WM_NCDESTROY, &CStaticEx::OnNcDestroy)
END_MESSAGE_MAP()

void CStaticEx::PreSubclassWindow() {
  CStatic::PreSubclassWindow();
  m_transparent.Attach(m_hWnd);
}

void CStaticEx::Paint(CDC& dc, const CRect& client) {
  m_transparent.DrawParentBackground(dc);
  std::string text;
  GetWindowText(text);
  CRect textRect = client;
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(m_crText);
  // Paths and server texts are shown as they are: an "&" is no mnemonic here.
  dc.DrawText(text, &textRect, DT_SINGLELINE | DT_NOPREFIX);
}

void CStaticEx::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  Paint(dc, client);
}

// The background comes with the paint; erasing first would only flicker.
BOOL CStaticEx::OnEraseBkgnd(CDC*) {
  return TRUE;
}

LRESULT CStaticEx::OnNcDestroy(WPARAM, LPARAM) {
  m_transparent.Detach();
  return Default();
}
