// What the pointer does to the link label: the link cursor, hover and the click.
#include <string>

#include "controls/link_label.h"

namespace {

constexpr UINT kHoverCheckMs = 100;
constexpr int kLinkCursorId = 106;
// IDC_HAND, by number: the macro's type follows the character set.
constexpr int kSystemHandCursorId = 32649;

}  // namespace

// The help program of the system carries the customary hand cursor; systems that no longer ship
// it have the hand among their own cursors. Either is copied, so the label owns what it holds.
void CLinkLabel::LoadLinkCursor() {
  if (m_hLinkCursor != nullptr) {
    return;
  }
  wchar_t folder[MAX_PATH] = {};
  GetWindowsDirectoryW(folder, MAX_PATH);
  const std::wstring path = std::wstring(folder) + L"\\winhlp32.exe";
  // By its full path, and only its resources are wanted: no code of it runs.
  if (const HMODULE help = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
    if (const HCURSOR cursor = LoadCursorA(help, MAKEINTRESOURCEA(kLinkCursorId))) {
      m_hLinkCursor = CopyIcon(cursor);
    }
    FreeLibrary(help);
  }
  if (m_hLinkCursor == nullptr) {
    if (const HCURSOR hand = LoadCursorA(nullptr, MAKEINTRESOURCEA(kSystemHandCursorId))) {
      m_hLinkCursor = CopyIcon(hand);
    }
  }
}

BOOL CLinkLabel::OnSetCursor(CWnd*, UINT, UINT) {
  if (m_hLinkCursor == nullptr) {
    return FALSE;
  }
  SetCursor(m_hLinkCursor);
  return TRUE;
}

void CLinkLabel::OnMouseMove(UINT, CPoint) {
  if (!m_bHover) {
    SetHover(TRUE);
  }
  Default();
}

void CLinkLabel::OnTimer(UINT_PTR) {
  CPoint pointer = CPoint::FromLParam(static_cast<LPARAM>(GetMessagePos()));
  ScreenToClient(&pointer);
  CRect client;
  GetClientRect(&client);
  if (!client.PtInRect(pointer)) {
    SetHover(FALSE);
  }
  Default();
}

void CLinkLabel::SetHover(BOOL hover) {
  m_bHover = hover;
  if (hover ? m_nUnderline == kUnderlineOnHover : m_nUnderline != kUnderlineAlways) {
    SetFont(hover ? &m_fontUnderline : &m_fontNormal, TRUE);
  }
  Invalidate(TRUE);
  InvalidateParentUnderLabel();
  if (hover) {
    SetTimer(kHoverTimer, kHoverCheckMs);
  } else {
    KillTimer(kHoverTimer);
  }
}

void CLinkLabel::InvalidateParentUnderLabel() {
  const CRect rect = RectInParent(m_hWnd);
  ::InvalidateRect(GetParent(m_hWnd), &rect, FALSE);
}

void CLinkLabel::OnLinkClicked() {
  // The label shows its visited or link colour now, though the pointer is still over it.
  m_bHover = FALSE;
  const int result = OpenTarget(m_strTarget, SW_SHOW);
  m_bVisited = result > 32;
  if (m_bVisited) {
    SetVisitedState(TRUE);
  } else {
    MessageBeep(MB_ICONEXCLAMATION);
    ShowOpenError(result);
  }
}
