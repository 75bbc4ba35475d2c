#include "controls/link_label.h"

#include "framework/dc.h"
#include "framework/message_entries.h"

BEGIN_MESSAGE_MAP(CLinkLabel, CStatic)
ON_WM_CTLCOLOR_REFLECT()
ON_WM_SETCURSOR()
ON_WM_MOUSEMOVE()
ON_WM_TIMER()
ON_CONTROL_REFLECT(STN_CLICKED, &CLinkLabel::OnLinkClicked)
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CLinkLabel::~CLinkLabel() {
  if (m_hLinkCursor != nullptr) {
    DestroyCursor(m_hLinkCursor);
  }
}

void CLinkLabel::PreSubclassWindow() {
  // Without SS_NOTIFY a static lets clicks through to its parent.
  ModifyStyle(0, SS_NOTIFY);
  std::string text;
  GetWindowText(text);
  if (m_strTarget.empty()) {
    m_strTarget = text;
  }
  if (text.empty()) {
    SetWindowText(m_strTarget.c_str());
  }

  HFONT font = GetFont();
  if (font == nullptr) {
    font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }
  if (font == nullptr) {
    font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  }
  LOGFONTA logFont{};
  GetObjectA(font, sizeof(logFont), &logFont);
  m_fontNormal.CreateFontIndirect(&logFont);
  logFont.lfUnderline = TRUE;
  m_fontUnderline.CreateFontIndirect(&logFont);

  FitToText();
  LoadLinkCursor();
  SetUnderlineMode(kUnderlineOnHover);

  m_toolTip.Create(this);
  CRect client;
  GetClientRect(&client);
  m_toolTip.AddTool(this, m_strTarget.c_str(), &client, 1);
  CStatic::PreSubclassWindow();
}

void CLinkLabel::SetTarget(const std::string& address) {
  m_strTarget = address;
  if (m_hWnd != nullptr) {
    FitToText();
    m_toolTip.UpdateTipText(address.c_str(), this, 1);
  }
}

void CLinkLabel::SetLinkColors(COLORREF link, COLORREF visited, COLORREF hover) {
  m_crLink = link;
  m_crVisited = visited;
  m_crHover = hover == kSystemHighlight ? GetSysColor(COLOR_HIGHLIGHT) : hover;
  Invalidate(TRUE);
}

void CLinkLabel::SetVisitedState(BOOL visited) {
  m_bVisited = visited;
  Invalidate(TRUE);
}

void CLinkLabel::SetUnderlineMode(int mode) {
  if (mode == m_nUnderline) {
    return;
  }
  if (m_hWnd != nullptr) {
    SetFont(mode == kUnderlineAlways ? &m_fontUnderline : &m_fontNormal, TRUE);
    Invalidate(TRUE);
  }
  m_nUnderline = mode;
}

void CLinkLabel::FitToText() {
  if (m_hWnd == nullptr) {
    return;
  }
  CRect window = RectInParent(m_hWnd);
  CRect client;
  GetClientRect(&client);
  std::string text;
  GetWindowText(text);
  CSize extent;
  {
    CClientDC dc(this);
    const ScopedSelection font(dc, m_fontUnderline);
    extent = dc.GetTextExtent(text);
  }
  // The text's size plus whatever border the window has.
  const int width = extent.cx + window.Width() - client.Width();
  const int height = extent.cy + window.Height() - client.Height();

  const DWORD style = GetStyle();
  if (style & SS_CENTERIMAGE) {
    window.InflateRect(0, -((window.Height() - height) / 2));
  } else {
    window.bottom = window.top + height;
  }
  if (style & SS_CENTER) {
    window.InflateRect(-((window.Width() - width) / 2), 0);
  } else if (style & SS_RIGHT) {
    window.left = window.right - width;
  } else {
    window.right = window.left + width;
  }
  SetWindowPos(nullptr, window.left, window.top, window.Width(), window.Height(), SWP_NOZORDER);
}

HBRUSH CLinkLabel::CtlColor(CDC* dc, UINT) {
  dc->SetTextColor(m_bHover ? m_crHover : m_bVisited ? m_crVisited : m_crLink);
  dc->SetBkMode(TRANSPARENT);
  return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

// The parent's skin shows through; the static draws only its text.
BOOL CLinkLabel::OnEraseBkgnd(CDC*) {
  return TRUE;
}

BOOL CLinkLabel::DestroyWindow() {
  KillTimer(kHoverTimer);
  return CStatic::DestroyWindow();
}
