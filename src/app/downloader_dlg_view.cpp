// What the download job and the progress monitor show through the window.

#include "app/button_faces.h"
#include "app/downloader_dlg.h"
#include "resource.h"

namespace {

// The status line's colours: the folder before the start, the progress during the download.
constexpr COLORREF kFolderTextColour = RGB(192, 192, 192);
constexpr COLORREF kProgressTextColour = RGB(142, 222, 85);

}  // namespace

void CDownloaderDlg::SetStatusText(const std::string& text) {
  SetLabelText(IDC_STATUS, text);
}

void CDownloaderDlg::SetTimeText(const std::string& text) {
  SetLabelText(IDC_TIME_LABEL, text);
}

void CDownloaderDlg::ShowActivity(DownloadActivity activity) {
  m_pPresence->Show(activity);
  if (activity == DownloadActivity::Completed) {
    NoticeCompletion();
  }
}

void CDownloaderDlg::ShowReadyToStart() {
  m_progress.SetPos(0);
  ShowPhase(1);
}

void CDownloaderDlg::ShowPhase(int phase) {
  const bool before = phase == 1;
  LockWindowUpdate();
  const int direction = before ? 1 : -1;
  MoveControlBy(IDC_FOLDER_LABEL, direction * kFolderLabelStartOffset);
  MoveControlBy(IDC_STATUS, direction * kStatusLineStartOffset);
  // With the folder box behind the status line in its new place before the start, without it
  // during the download.
  BuildBackground();
  Invalidate(FALSE);
  SetLabelText(IDC_FOLDER_LABEL, before ? m_strFolderQuestion : "Downloading Vellomarch");
  m_status.SetTextColor(before ? kFolderTextColour : kProgressTextColour);
  SetStatusText(before ? m_job.Settings().m_strTargetFolder : "");
  SetTimeText(before ? "" : "Connecting...");
  GetDlgItem(IDC_TIME_LABEL)->ShowWindow(before ? SW_HIDE : SW_SHOW);
  m_progress.ShowWindow(before ? SW_HIDE : SW_SHOW);
  m_btnBrowse.ShowWindow(before ? SW_SHOW : SW_HIDE);
  ShowFaces(m_btnStop, before ? kCancelFaces : kStopFaces);
  ShowFaces(m_btnPause, before ? kNextFaces : kPauseFaces);
  UnlockWindowUpdate();
}

void CDownloaderDlg::RedrawStatusLine() {
  m_status.ShowWindow(SW_HIDE);
  m_status.ShowWindow(SW_SHOW);
}

void CDownloaderDlg::SetProgressPosition(int percent) {
  m_progress.SetPos(percent);
  m_pPresence->SetPercent(percent);
}

void CDownloaderDlg::ShowMessage(const std::string& text, const std::string& caption) {
  MessageBox(text.c_str(), caption.c_str(), MB_OK);
}

void CDownloaderDlg::LockWindowUpdate() {
  m_bUpdateLocked = CDialog::LockWindowUpdate() != FALSE;
}

void CDownloaderDlg::UnlockWindowUpdate() {
  if (m_bUpdateLocked) {
    m_bUpdateLocked = false;
    CDialog::UnlockWindowUpdate();
  }
}

platform::MessageTarget& CDownloaderDlg::MessageTarget() {
  return *m_pMessageTarget;
}
