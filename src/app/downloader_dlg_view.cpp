// What the download job and the progress monitor show through the window.

#include "app/downloader_dlg.h"
#include "resource.h"

void CDownloaderDlg::SetStatusText(const std::string& text) {
  SetLabelText(IDC_STATUS, text);
}

void CDownloaderDlg::SetTimeText(const std::string& text) {
  SetLabelText(IDC_TIME_LABEL, text);
}

void CDownloaderDlg::RedrawStatusLine() {
  m_status.ShowWindow(SW_HIDE);
  m_status.ShowWindow(SW_SHOW);
}

void CDownloaderDlg::SetProgressPosition(int percent) {
  m_progress.SetPos(percent);
}

void CDownloaderDlg::ShowMessage(const std::string& text, const std::string& caption) {
  MessageBoxA(m_hWnd, text.c_str(), caption.c_str(), MB_OK);
}

void CDownloaderDlg::LockWindowUpdate() {
  CDialog::LockWindowUpdate();
}

void CDownloaderDlg::UnlockWindowUpdate() {
  CDialog::UnlockWindowUpdate();
}

platform::MessageTarget& CDownloaderDlg::MessageTarget() {
  return *m_pMessageTarget;
}
