#pragma once

#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <string>

#include "app/download_presence.h"
#include "controls/button_ex1.h"
#include "controls/link_label.h"
#include "controls/skin_progress_ctrl.h"
#include "controls/static_ex.h"
#include "engine/download_job.h"
#include "engine/download_view.h"
#include "framework/framework.h"
#include "framework/memory_dc.h"
#include "progress/progress_monitor.h"

// The program's one window, drawn from the skin's bitmaps: the download's controls, its commands,
// the notification-area icon and the desktop shortcut. It owns the download job and the progress
// monitor and shows what they report through IDownloadView.
class CDownloaderDlg : public CDialog, public IDownloadView {
 public:
  // The window's text, on its taskbar button; a second start finds the window by it.
  static constexpr char kWindowTitle[] = "MoraventDL_Vellomarch";

  CDownloaderDlg();
  // Stops the download's workers, closes the part file and deletes it when the user cancelled.
  ~CDownloaderDlg() override;

  // IDownloadView
  void SetStatusText(const std::string& text) override;
  void SetTimeText(const std::string& text) override;
  void RedrawStatusLine() override;
  void SetProgressPosition(int percent) override;
  void SetTrayTooltip(const std::string& text) override;
  void ShowReadyToStart() override;
  void ShowActivity(DownloadActivity activity) override;
  void ShowMessage(const std::string& text, const std::string& caption) override;
  void LockWindowUpdate() override;
  void UnlockWindowUpdate() override;
  platform::MessageTarget& MessageTarget() override;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  // Enter with no button focused: starts the download before the start, else nothing.
  void OnOK() override;
  // Escape, Alt+F4 and the taskbar's Close: the exit questions, never straight out.
  void OnCancel() override;

  void OnTimer(UINT_PTR id);
  void OnPaint();
  BOOL OnEraseBkgnd(CDC* dc);
  HCURSOR OnQueryDragIcon();
  void OnStop();
  HBRUSH OnCtlColor(CDC* dc, CWnd* control, UINT ctlColor);
  void OnSize(UINT type, int width, int height);
  void OnMouseMove(UINT flags, CPoint point);
  void OnStartPause();
  void OnQuit();
  void OnMinimize();
  void OnToTray();
  void OnBrowse();
  LRESULT OnWorkerDone(WPARAM wParam, LPARAM lParam);
  LRESULT OnWorkerBytes(WPARAM wParam, LPARAM lParam);
  LRESULT OnFileHashed(WPARAM wParam, LPARAM lParam);
  LRESULT OnPartWritten(WPARAM wParam, LPARAM lParam);
  LRESULT OnTotalSize(WPARAM wParam, LPARAM lParam);
  LRESULT OnSpeed(WPARAM wParam, LPARAM lParam);
  LRESULT OnUnusedMessage(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetPercent(WPARAM wParam, LPARAM lParam);
  LRESULT OnParentBkgnd(WPARAM wParam, LPARAM lParam);
  LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
  LRESULT OnTaskbarCreated(WPARAM wParam, LPARAM lParam);
  LRESULT OnShowRunningInstance(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetDefId(WPARAM wParam, LPARAM lParam);
  LRESULT OnChangeUiState(WPARAM wParam, LPARAM lParam);
  LRESULT OnQueryUiState(WPARAM wParam, LPARAM lParam);

 private:
  // Start-up offsets of the folder label and the status line; the start command moves them back.
  static constexpr int kFolderLabelStartOffset = 5;
  static constexpr int kStatusLineStartOffset = 10;

  // Composes the background image in m_pMemDC (with the folder box in phase 1), sizes the
  // window to it and has the transparent controls fetch their pieces again.
  void BuildBackground();
  // The window before the start (phase 1: the folder box and the folder, Browse, Cancel and
  // Next) or during the download (phase 2: the progress, Stop and Pause). The template places
  // the folder label and the status line as phase 2 has them; phase 1 moves them down.
  void ShowPhase(int phase);
  void StartDownload();
  void PauseDownload();
  void ResumeDownload();
  void MakeDesktopShortcut();
  // Out of the notification area (or the minimised state) and in front.
  void BringBack();
  // Where nobody looks at the window, the end of the download is told: a balloon from the
  // notification icon when hidden there, a flashing taskbar button when in the background.
  void NoticeCompletion();
  // Shell_NotifyIconA with the icon's record, filled on first use.
  BOOL UpdateTrayIcon(DWORD action);
  bool TrayRecordFilled() const { return m_nid.hIcon != nullptr; }
  // Marks the window's area under a child for repainting, without erasing.
  void InvalidateUnder(int controlId);
  // Moves a child vertically, keeping its size and Z order; returns the area it covered before
  // and after, in client coordinates.
  CRect MoveControlBy(int controlId, int dy);
  void SetLabelText(int controlId, const std::string& text);
  // Runs a call into the job or the monitor. Launching a worker dispatches waiting messages, so
  // an exit command can arrive inside such a call, midway through a scheduler pass: its question
  // would see the worker list mid-change, and would hold the pass, and the download with it,
  // until answered. The question is asked once the call has returned.
  template <class Call>
  void RunJobCall(Call call) {
    ++m_nJobCallDepth;
    call();
    if (--m_nJobCallDepth == 0 && m_bExitPending) {
      m_bExitPending = false;
      OnQuit();
    }
  }

  std::string m_strDeleteOnExit;
  // The folder label's text before the start, from the template.
  std::string m_strFolderQuestion;
  std::string m_strRecordPath;
  int m_nJobCallDepth = 0;
  bool m_bExitPending = false;
  // An exit question is on screen: a second request (the taskbar's Close) asks nothing more.
  bool m_bAskingToExit = false;
  // Releasing a lock that another window holds would undo it: only our own is released.
  bool m_bUpdateLocked = false;
  // The keyboard cues' UISF_ flags: hidden until OnInitDialog decides.
  UINT m_nUiState = UISF_HIDEFOCUS | UISF_HIDEACCEL;
  CStaticEx m_status;
  CButtonEx1 m_btnTray;
  CButtonEx1 m_btnExit;
  CButtonEx1 m_btnMinimize;
  CButtonEx1 m_btnBrowse;
  CButtonEx1 m_btnPause;
  CButtonEx1 m_btnStop;
  CSkinProgressCtrl m_progress;
  CLinkLabel m_link;
  HICON m_hIcon;
  NOTIFYICONDATAA m_nid{};
  // The composed background, its bitmap selected for as long as it lives; none before the first
  // build. Painting and the controls' background requests copy from it.
  std::unique_ptr<CMemoryDC> m_pMemDC;
  // Made once the window exists; declared before the job, which needs it until its workers
  // have ended.
  std::unique_ptr<platform::MessageTarget> m_pMessageTarget;
  std::unique_ptr<CDownloadPresence> m_pPresence;
  CProgressMonitor m_monitor;
  CDownloadJob m_job;

  DECLARE_MESSAGE_MAP()
};
