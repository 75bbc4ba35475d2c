// The notification-area icon: hiding the window to it, bringing the window back, and its tooltip.

#include <algorithm>
#include <cstring>

#include "app/downloader_dlg.h"
#include "engine/messages.h"
#include "progress/progress_texts.h"
#include "resource.h"

namespace {

void CopyTooltip(NOTIFYICONDATAA& record, const std::string& text) {
  const size_t length = std::min(text.size(), sizeof(record.szTip) - 1);
  std::memcpy(record.szTip, text.data(), length);
  record.szTip[length] = '\0';
}

}  // namespace

BOOL CDownloaderDlg::UpdateTrayIcon(DWORD action) {
  if (!TrayRecordFilled()) {
    m_nid.cbSize = sizeof(m_nid);
    m_nid.hWnd = m_hWnd;
    m_nid.uID = IDR_MAINFRAME;
    m_nid.hIcon = LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    m_nid.uCallbackMessage = WM_TRAY_NOTIFY;
    CopyTooltip(m_nid, TrayTooltipText(m_monitor.m_nPercent));
  }
  if (action == NIM_ADD) {
    // A tooltip change leaves NIF_TIP alone in the record; adding needs the icon and callback.
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  }
  return Shell_NotifyIconA(action, &m_nid);
}

void CDownloaderDlg::SetTrayTooltip(const std::string& text) {
  if (!TrayRecordFilled()) {
    return;
  }
  CopyTooltip(m_nid, text);
  m_nid.cbSize = sizeof(m_nid);
  m_nid.uFlags = NIF_TIP;
  // Fails while the icon is not shown; the record keeps the text for the next add.
  Shell_NotifyIconA(NIM_MODIFY, &m_nid);
}

// Hidden without an icon, the window could not be brought back: it stays on screen when the
// shell refuses the icon.
void CDownloaderDlg::OnToTray() {
  if (UpdateTrayIcon(NIM_ADD)) {
    ShowWindow(SW_HIDE);
  }
}

// A restarted shell has forgotten the icon, a hidden window's only way back.
LRESULT CDownloaderDlg::OnTaskbarCreated(WPARAM, LPARAM) {
  if (!IsWindowVisible() && !UpdateTrayIcon(NIM_ADD)) {
    ShowWindow(SW_SHOW);
  }
  return 0;
}

LRESULT CDownloaderDlg::OnTrayNotify(WPARAM, LPARAM lParam) {
  if (lParam == WM_LBUTTONUP) {
    ShowWindow(SW_SHOW);
    UpdateTrayIcon(NIM_DELETE);
  }
  return -1;
}

LRESULT CDownloaderDlg::OnShowRunningInstance(WPARAM, LPARAM) {
  BringBack();
  return 0;
}

void CDownloaderDlg::BringBack() {
  if (!IsWindowVisible()) {
    ShowWindow(SW_SHOW);
    UpdateTrayIcon(NIM_DELETE);
  }
  if (IsIconic()) {
    ShowWindow(SW_RESTORE);
  }
  SetForegroundWindow(m_hWnd);
}

void CDownloaderDlg::NoticeCompletion() {
  if (!IsWindowVisible()) {
    if (!TrayRecordFilled()) {
      return;
    }
    NOTIFYICONDATAA balloon = m_nid;
    balloon.uFlags = NIF_INFO;
    lstrcpynA(balloon.szInfo, "Download completed...", sizeof(balloon.szInfo));
    lstrcpynA(balloon.szInfoTitle, kWindowTitle, sizeof(balloon.szInfoTitle));
    balloon.dwInfoFlags = NIIF_INFO;
    Shell_NotifyIconA(NIM_MODIFY, &balloon);
    return;
  }
  if (GetForegroundWindow() != m_hWnd) {
    // Until the user comes to the window.
    FLASHWINFO flash{sizeof(flash), m_hWnd, FLASHW_TRAY | FLASHW_TIMERNOFG, 0, 0};
    FlashWindowEx(&flash);
  }
}

LRESULT CDownloaderDlg::OnSetPercent(WPARAM, LPARAM lParam) {
  const int percent = static_cast<int>(lParam);
  if (percent == m_monitor.m_nPercent) {
    return 0;
  }
  m_monitor.m_nPercent = percent;
  SetProgressPosition(percent);
  SetTrayTooltip(TrayTooltipText(percent));
  return 0;
}
