// The user's commands: start, pause and resume, leaving, minimising and choosing the folder.

#include <shlobj.h>

#include "app/button_faces.h"
#include "app/downloader_dlg.h"
#include "app/exit_dialogue.h"
#include "app/pick_folder.h"
#include "platform/file.h"
#include "progress/resume_record.h"
#include "resource.h"

void CDownloaderDlg::OnStartPause() {
  if (m_job.m_nPhase == 1) {
    StartDownload();
  } else if (m_job.m_bRunning == 1) {
    PauseDownload();
  } else {
    ResumeDownload();
  }
}

void CDownloaderDlg::StartDownload() {
  const std::string finalPath = m_job.FinalPath();
  if (platform::FileExists(finalPath)) {
    ShowMessage(finalPath, "Already download completed");
    return;
  }
  m_job.m_nPhase = 2;
  ShowPhase(2);
  RunJobCall([&] { m_job.StartDownload(); });
}

void CDownloaderDlg::PauseDownload() {
  // Nothing to hold yet (still connecting, or completed), or a scheduler pass is under way.
  if (!m_job.PauseAll()) {
    return;
  }
  ShowFaces(m_btnPause, kResumeFaces);
  SetTimeText("Pause...");
}

void CDownloaderDlg::ResumeDownload() {
  if (!m_job.ResumeAll()) {
    return;
  }
  ShowFaces(m_btnPause, kPauseFaces);
}

void CDownloaderDlg::OnStop() {
  OnQuit();
}

void CDownloaderDlg::OnOK() {
  if (m_job.m_nPhase == 1) {
    StartDownload();
  }
}

void CDownloaderDlg::OnCancel() {
  OnQuit();
}

// The dialog manager's default command is always IDOK: with no button focused, Enter means
// OnOK, never a press of whichever button once had the focus.
LRESULT CDownloaderDlg::OnGetDefId(WPARAM, LPARAM) {
  return MAKELRESULT(IDOK, DC_HASDEFID);
}

void CDownloaderDlg::OnQuit() {
  if (m_nJobCallDepth > 0) {
    m_bExitPending = true;
    return;
  }
  if (m_bAskingToExit) {
    return;
  }
  const auto askOwnedByWindow = [this](const char* text, const char* caption, UINT buttons) {
    return MessageBox(text, caption, buttons | MB_ICONQUESTION);
  };
  m_bAskingToExit = true;
  const ExitChoice choice =
      AskExitChoice(askOwnedByWindow, m_job.m_nPhase == 2, !m_job.m_workers.empty());
  m_bAskingToExit = false;
  if (choice == ExitChoice::Stay) {
    return;
  }
  if (choice == ExitChoice::EndDeletingPartFile) {
    m_strDeleteOnExit = m_job.PartPath();
  }
  UpdateTrayIcon(NIM_DELETE);
  CDialog::OnOK();
}

void CDownloaderDlg::OnMinimize() {
  ShowWindow(SW_MINIMIZE);
}

void CDownloaderDlg::OnBrowse() {
  // The button hides at the start, but a click may still wait in the queue: the part file is
  // open in the folder the download started with.
  if (m_job.m_nPhase != 1) {
    return;
  }
  const std::string folder = PickFolder(m_hWnd, "Select download folder", BIF_RETURNONLYFSDIRS);
  if (folder.empty()) {
    return;
  }
  m_job.SetTargetFolder(folder);
  SetStatusText(folder);
  // When the record cannot be written the folder holds for this run only.
  WriteRecord(m_strRecordPath, folder);
}
