#include "app/downloader_dlg.h"

#include "app/app_settings.h"
#include "app/button_faces.h"
#include "app/shell_link.h"
#include "app/single_instance.h"
#include "controls/transparent_ctrl.h"
#include "engine/helpers.h"
#include "engine/messages.h"
#include "engine/part_file.h"
#include "engine/timers.h"
#include "platform/file.h"
#include "platform/known_folders.h"
#include "progress/resume_record.h"
#include "resource.h"

namespace {

constexpr char kShortcutName[] = "\\MoraventDL_Vellomarch.lnk";
constexpr char kShortcutDescription[] = "Vellomarch downloader";
constexpr COLORREF kLinkColour = RGB(100, 190, 206);
constexpr COLORREF kLinkVisitedColour = RGB(250, 99, 118);
constexpr COLORREF kLinkHoverColour = RGB(142, 222, 85);
// Sent to every top-level window by a shell that has (re)started, with an empty notification
// area.
const UINT WM_TASKBARCREATED = RegisterWindowMessageA("TaskbarCreated");

}  // namespace

BEGIN_MESSAGE_MAP(CDownloaderDlg, CDialog)
ON_WM_TIMER()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(IDC_STOP, &CDownloaderDlg::OnStop)
ON_WM_CTLCOLOR()
ON_WM_SIZE()
ON_WM_MOUSEMOVE()
ON_BN_CLICKED(IDC_PAUSE, &CDownloaderDlg::OnStartPause)
ON_BN_CLICKED(IDC_EXIT, &CDownloaderDlg::OnQuit)
ON_BN_CLICKED(IDC_MINIMIZE, &CDownloaderDlg::OnMinimize)
ON_BN_CLICKED(IDC_TO_TRAY, &CDownloaderDlg::OnToTray)
ON_BN_CLICKED(IDC_BROWSE, &CDownloaderDlg::OnBrowse)
ON_MESSAGE(WM_WORKER_DONE, &CDownloaderDlg::OnWorkerDone)
ON_MESSAGE(WM_WORKER_STATUS, &CDownloaderDlg::OnUnusedMessage)
ON_MESSAGE(WM_WORKER_BYTES, &CDownloaderDlg::OnWorkerBytes)
ON_MESSAGE(WM_SPEED, &CDownloaderDlg::OnSpeed)
ON_MESSAGE(WM_TOTAL_SIZE, &CDownloaderDlg::OnTotalSize)
ON_MESSAGE(WM_REMAINING, &CDownloaderDlg::OnUnusedMessage)
ON_MESSAGE(WM_USER_88, &CDownloaderDlg::OnUnusedMessage)
ON_MESSAGE(WM_PERCENT, &CDownloaderDlg::OnSetPercent)
ON_MESSAGE(WM_USER_8A, &CDownloaderDlg::OnUnusedMessage)
ON_MESSAGE(WM_FILE_HASHED, &CDownloaderDlg::OnFileHashed)
ON_MESSAGE(WM_PART_WRITTEN, &CDownloaderDlg::OnPartWritten)
ON_MESSAGE(WM_PARENTBKGND, &CDownloaderDlg::OnParentBkgnd)
ON_MESSAGE(WM_TRAY_NOTIFY, &CDownloaderDlg::OnTrayNotify)
ON_REGISTERED_MESSAGE(WM_TASKBARCREATED, &CDownloaderDlg::OnTaskbarCreated)
ON_REGISTERED_MESSAGE(WM_SHOW_RUNNING_INSTANCE, &CDownloaderDlg::OnShowRunningInstance)
ON_MESSAGE(DM_GETDEFID, &CDownloaderDlg::OnGetDefId)
ON_MESSAGE(WM_CHANGEUISTATE, &CDownloaderDlg::OnChangeUiState)
ON_MESSAGE(WM_QUERYUISTATE, &CDownloaderDlg::OnQueryUiState)
END_MESSAGE_MAP()

CDownloaderDlg::CDownloaderDlg()
    : CDialog(IDD_MORAVENTDL_VELLOMARCH_DIALOG),
      m_hIcon(LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_job(CompiledInSettings(), *this, [this] { m_monitor.ShowComplete(*this); }) {}

CDownloaderDlg::~CDownloaderDlg() {
  if (m_hWnd != nullptr) {
    KillTimer(TIMER_START);
    KillTimer(TIMER_PROBE_RETRY);
    KillTimer(TIMER_DISPLAY);
    KillTimer(TIMER_SCHEDULER);
  }
  m_job.StopAllWorkers();
  m_job.ClosePartFile();
  if (!m_strDeleteOnExit.empty()) {
    RemovePartFile(m_strDeleteOnExit);
  }
  // An icon left behind would stay in the notification area until the pointer passes over it.
  if (TrayRecordFilled()) {
    Shell_NotifyIconA(NIM_DELETE, &m_nid);
  }
}

void CDownloaderDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Control(dx, IDC_STATUS, m_status);
  DDX_Control(dx, IDC_TO_TRAY, m_btnTray);
  DDX_Control(dx, IDC_EXIT, m_btnExit);
  DDX_Control(dx, IDC_MINIMIZE, m_btnMinimize);
  DDX_Control(dx, IDC_BROWSE, m_btnBrowse);
  DDX_Control(dx, IDC_PAUSE, m_btnPause);
  DDX_Control(dx, IDC_STOP, m_btnStop);
  DDX_Control(dx, IDC_PROGRESS, m_progress);
  DDX_Control(dx, IDC_LINK, m_link);
}

BOOL CDownloaderDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_pMessageTarget = platform::MessageTarget::ForWindow(m_hWnd);
  m_pPresence = std::make_unique<CDownloadPresence>(m_hWnd);
  SetWindowText(kWindowTitle);
  SetIcon(m_hIcon, TRUE);
  SetIcon(m_hIcon, FALSE);

  ShowFaces(m_btnBrowse, kBrowseFaces);
  ShowFaces(m_btnTray, kToTrayFaces);
  ShowFaces(m_btnMinimize, kMinimizeFaces);
  ShowFaces(m_btnExit, kExitFaces);

  m_progress.SetBarBitmap(IDB_PROGRESS_TILE, TRUE);
  m_progress.SetRange(0, 100);
  m_progress.SetStep(1);
  m_progress.SetPos(0);

  m_link.SetLinkColors(kLinkColour, kLinkVisitedColour, kLinkHoverColour);
  m_link.SetTarget(kProductSiteUrl);
  m_link.SetUnderlineMode(1);

  m_strRecordPath = RecordPath();
  m_job.SetTargetFolder(ReadRecord(m_strRecordPath));
  GetDlgItem(IDC_FOLDER_LABEL)->GetWindowText(m_strFolderQuestion);
  // The template places the labels as they stand during the download.
  ShowPhase(1);

  MakeDesktopShortcut();

  SendMessage(WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
  const DownloadSettings& settings = m_job.Settings();
  if (settings.m_strHost.empty() || settings.m_strFileName.empty() ||
      settings.m_strServerDir.empty()) {
    return FALSE;
  }
  // The focus on Next rather than on the first tab stop (Cancel): Enter starts the download.
  SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_btnPause.m_hWnd), TRUE);
  return FALSE;
}

void CDownloaderDlg::MakeDesktopShortcut() {
  const std::string linkPath =
      platform::FindKnownFolder(platform::KnownFolder::Desktop).value_or("c:") + kShortcutName;
  if (platform::FileExists(linkPath)) {
    return;
  }
  // Silent on failure: the shortcut is still missing at the next start, which tries again.
  if (SUCCEEDED(CreateShortcut(platform::ModulePath(), linkPath, kShortcutDescription))) {
    MessageBox("Make shotcut at Desktop", "Make shotcut", MB_OK);
  }
}

void CDownloaderDlg::OnPaint() {
  CPaintDC dc(this);
  if (IsIconic()) {
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    CRect client;
    GetClientRect(&client);
    const int x = (client.Width() - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.Height() - GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
  } else if (m_pMemDC) {
    CRect client;
    GetClientRect(&client);
    dc.BitBlt(0, 0, client.Width(), client.Height(), m_pMemDC.get(), 0, 0, SRCCOPY);
  }
}

// The skin is copied at once: erasing to the dialog's grey first would flash on every restore
// and every hidden control.
BOOL CDownloaderDlg::OnEraseBkgnd(CDC* dc) {
  if (!m_pMemDC || IsIconic()) {
    return static_cast<BOOL>(Default());
  }
  CRect client;
  GetClientRect(&client);
  dc->BitBlt(0, 0, client.Width(), client.Height(), m_pMemDC.get(), 0, 0, SRCCOPY);
  return TRUE;
}

// The keyboard cues (the focus rectangle) start hidden, as in standard dialogs, unless the user
// has asked the system to show them always; a key used in the window shows them. The window
// keeps their state itself, since Wine keeps none, and passes each change on to the system.
LRESULT CDownloaderDlg::OnChangeUiState(WPARAM wParam, LPARAM lParam) {
  WORD action = LOWORD(wParam);
  WORD flags = HIWORD(wParam);
  if (action == UIS_INITIALIZE) {
    BOOL cuesAlways = FALSE;
    SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &cuesAlways, 0);
    action = cuesAlways ? UIS_CLEAR : UIS_SET;
    flags = UISF_HIDEFOCUS | UISF_HIDEACCEL;
  }
  const UINT before = m_nUiState;
  if (action == UIS_SET) {
    m_nUiState |= flags;
  } else if (action == UIS_CLEAR) {
    m_nUiState &= ~static_cast<UINT>(flags);
  }
  if (m_nUiState != before) {
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  }
  return DefWindowProc(WM_CHANGEUISTATE, MAKEWPARAM(action, flags), lParam);
}

LRESULT CDownloaderDlg::OnQueryUiState(WPARAM, LPARAM) {
  return m_nUiState;
}

HCURSOR CDownloaderDlg::OnQueryDragIcon() {
  return m_hIcon;
}

CRect CDownloaderDlg::MoveControlBy(int controlId, int dy) {
  CWnd* control = GetDlgItem(controlId);
  const CRect before = RectInParent(control->GetSafeHwnd());
  control->SetWindowPos(nullptr, before.left, before.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  CRect covered;
  const CRect after(before.left, before.top + dy, before.right, before.bottom + dy);
  UnionRect(&covered, &before, &after);
  return covered;
}

void CDownloaderDlg::InvalidateUnder(int controlId) {
  const CRect area = RectInParent(GetDlgItem(controlId)->GetSafeHwnd());
  InvalidateRect(&area, FALSE);
}

void CDownloaderDlg::SetLabelText(int controlId, const std::string& text) {
  InvalidateUnder(controlId);
  ReplaceWindowText(GetDlgItem(controlId)->GetSafeHwnd(), SingleLineText(text).c_str());
}
