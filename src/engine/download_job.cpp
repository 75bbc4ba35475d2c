#include "engine/download_job.h"

#include <utility>

#include "engine/part_file.h"
#include "engine/part_origin.h"
#include "engine/timers.h"
#include "platform/mark_of_web.h"

namespace {

constexpr char kCompletedText[] = "Download completed...";
constexpr char kRestartNoticeSuffix[] = " : Automatic resume when restore problem";
constexpr char kVerifyingText[] = "Verifying...";
constexpr char kServerFileChangedText[] =
    "The installer on the server has changed: downloading it again from the start";

// Where the installer came from, as its mark of the web names it.
std::string SourceUrl(const DownloadSettings& settings) {
  return "ftp://" + settings.m_strHost + ":" + std::to_string(settings.m_nPort) +
         settings.m_strServerDir + settings.m_strFileName;
}

}  // namespace

CDownloadJob::CDownloadJob(DownloadSettings settings, IDownloadView& view,
                           CompletionProgress showFullProgress)
    : m_settings(std::move(settings)),
      m_view(view),
      m_showFullProgress(std::move(showFullProgress)) {}

CDownloadJob::~CDownloadJob() {
  StopAllWorkers();
  if (m_pProbe != nullptr) {
    StopAndRetire(m_pProbe);
    m_pProbe = nullptr;
  }
  // The reaper, destroyed next, waits for the stopped threads.
}

std::string CDownloadJob::PartPath() const {
  return PartFilePath(m_settings.m_strTargetFolder, m_settings.m_strFileName);
}

std::string CDownloadJob::FinalPath() const {
  return FinalFilePath(m_settings.m_strTargetFolder, m_settings.m_strFileName);
}

int32_t CDownloadJob::LaunchWorker(CDownloadThread* donor, const std::string& fileName,
                                   int32_t index, int64_t start, int32_t length,
                                   uint32_t transferType, int32_t passive, bool atHead) {
  CDownloadThread* worker =
      CDownloadThread::CreateObject(index > -1 ? m_spareBuffers.Take() : nullptr);
  if (worker == nullptr) {
    m_view.ShowMessage("Please restart program", "Out of memory");
    return 0;
  }
  if (!worker->CreateThread()) {
    delete worker;
    m_view.ShowMessage("Please restart program", "Too many thread");
    return 0;
  }
  PumpMessages();
  if (index > -1) {
    if (atHead) {
      m_workers.push_front(worker);
    } else {
      m_workers.push_back(worker);
    }
  } else {
    m_pProbe = worker;
  }
  worker->SetThreadPriority(platform::ThreadPriority::Normal);

  worker->m_nIndex = index;
  worker->m_nGot = 0;
  worker->m_strFileName = fileName;
  worker->m_strServerDir = m_settings.m_strServerDir;
  worker->m_strHost = m_settings.m_strHost;
  worker->m_strUser = m_settings.m_strUser;
  worker->m_strPassword = m_settings.m_strPassword;
  worker->m_nPort = m_settings.m_nPort;
  worker->m_strLocalFolder = m_settings.m_strTargetFolder;
  worker->m_nStart = start;
  worker->m_nLength = length;
  worker->m_dwTransferType = transferType;
  worker->m_bPassive = passive;
  worker->m_nAttempts = 1;
  worker->m_nRetryDelaySec = 10;
  worker->m_nTimeoutMs = m_settings.m_nTimeoutSec * 1000;
  worker->m_pOwner = &m_view.MessageTarget();
  worker->m_bLineSpeed = index > -1 && m_settings.AtLineSpeed();
  if (donor != nullptr) {
    // The donor's thread has ended its transfer (its complete flag was seen), so nothing else
    // uses the pair; cleared so the donor's destructor leaves them alone.
    worker->m_pSession = std::exchange(donor->m_pSession, nullptr);
    worker->m_pConnection = std::exchange(donor->m_pConnection, nullptr);
    worker->m_bConnected.store(worker->m_pConnection != nullptr ? 1 : 0, std::memory_order_relaxed);
  }
  if (m_bRunning == 1) {
    worker->ResumeWorker();
  }
  return 1;
}

void CDownloadJob::StartDownload() {
  m_nPhase = 2;
  EnterActivity(DownloadActivity::Preparing);
  LaunchSizeProbe();
}

void CDownloadJob::LaunchSizeProbe() {
  LaunchWorker(nullptr, m_settings.m_strFileName, -1, 0, 0, net::FTP_TRANSFER_TYPE_BINARY, 1,
               false);
}

void CDownloadJob::StartFirstSegment(int64_t partLength) {
  const std::optional<int64_t> start = AdoptPartFile(partLength);
  if (!start) {
    return;
  }
  m_nNextOffset = *start;
  m_nWritten = *start;
  m_nReceived = *start;
  EnterActivity(DownloadActivity::Transferring);
  if (*start == m_nFileSize) {
    // Already whole: the first scheduler pass completes the download.
    ArmTimer(TIMER_SCHEDULER, kCompletionCheckMs);
    return;
  }
  m_pAppender =
      std::make_unique<CPartFileAppender>(m_partFile, m_view.MessageTarget(), m_spareBuffers);
  if (!m_pAppender->StartThread()) {
    ClosePartFile();
    EnterActivity(DownloadActivity::Failed);
    m_view.ShowMessage("Please restart program", "Too many thread");
    return;
  }
  // Under the guard like any pass: launching dispatches waiting messages, among them reports of
  // segments already finished.
  m_schedGuard = true;
  m_connectionLimit.BeginPass();
  LaunchSegments(0);
  m_schedGuard = false;
  ArmTimer(TIMER_SCHEDULER, kTickPeriodMs);
  ArmTimer(TIMER_DISPLAY, kTickPeriodMs);
  CatchUpFinishedSegments();
}

std::optional<int64_t> CDownloadJob::AdoptPartFile(int64_t partLength) {
  const RemoteFileIdentity remote{m_nFileSize, m_strRemoteTime};
  const std::string originPath = OriginFilePath(PartPath());
  const PartOrigin origin =
      partLength > 0 ? CompareOrigin(originPath, remote) : PartOrigin::Unrecorded;
  if (partLength > m_nFileSize || origin == PartOrigin::Other) {
    // Not a prefix of the file the server has now: resuming would splice two files.
    if (!m_partFile.Truncate(0)) {
      OnPartFileWriteFailed();
      return std::nullopt;
    }
    partLength = 0;
    m_view.SetStatusText(kServerFileChangedText);
  }
  // Recorded before the first byte is appended, so no part file byte is ever without it.
  if (origin != PartOrigin::Same && !WriteOrigin(originPath, remote)) {
    m_partFile.Close();
    EnterActivity(DownloadActivity::Failed);
    m_view.ShowMessage(originPath, "File creation error");
    return std::nullopt;
  }
  return partLength;
}

void CDownloadJob::FinishDownload() {
  KillTimer(TIMER_DISPLAY);
  KillTimer(TIMER_SCHEDULER);
  StopAppending();  // idle: every segment is on the disk
  const bool whole = CloseWholePartFile(m_partFile, m_nFileSize);
  StopAllWorkers();
  if (!whole) {
    // Handing it over as the installer would end in a broken setup; kept as it is, it is
    // looked at again (and resumed or started again) at the next start.
    EnterActivity(DownloadActivity::Failed);
    m_view.ShowMessage(PartPath(), "File write error");
    return;
  }
  if (m_settings.m_strExpectedSha256.empty()) {
    GiveFinalName();
    return;
  }
  EnterActivity(DownloadActivity::Preparing);
  // Reading back a large file takes seconds: the window goes on meanwhile, with nothing to do
  // but to leave (the part file is whole and is checked again at the next start).
  m_view.SetTimeText(kVerifyingText);
  m_view.SetStatusText(kVerifyingText);
  m_pHashCheck = std::make_unique<CFileHashCheck>(PartPath(), m_view.MessageTarget());
  if (!m_pHashCheck->StartThread()) {
    m_pHashCheck.reset();
    EnterActivity(DownloadActivity::Failed);
    m_view.ShowMessage("Please restart program", "Too many thread");
  }
}

void CDownloadJob::GiveFinalName() {
  if (!MoveToFinalName(PartPath(), FinalPath())) {
    // The bytes are all in the part file, which stays where it is; the name it should get is
    // taken (or the part file has gone), which only the user can sort out.
    EnterActivity(DownloadActivity::Failed);
    m_view.ShowMessage(FinalPath(), "File rename error");
    return;
  }
  // Checked and named: only now is it the installer that the user may run.
  platform::MarkAsFromInternet(FinalPath(), SourceUrl(m_settings));
  if (m_showFullProgress) {
    m_showFullProgress();
  }
  m_view.SetTimeText(kCompletedText);
  m_view.SetStatusText(kCompletedText);
  EnterActivity(DownloadActivity::Completed);
}

void CDownloadJob::ReturnToStart() {
  m_nPhase = 1;
  m_bRunning = 1;
  m_schedGuard = false;
  m_nFileSize = 0;
  m_strRemoteTime.clear();
  m_strTotalKB.clear();
  m_nNextOffset = 0;
  m_nWritten = 0;
  m_nReceived = 0;
  m_nLastAssigned = -1;
  m_nLastWritten = -1;
  m_nLastAppended = -1;
  m_appendedLengths.clear();
  m_bPartWriteFailed = false;
  m_waitingSegments.clear();
  m_bSegmentFinishedMeanwhile = false;
  m_connectionLimit.Forget();
}

bool CDownloadJob::PauseAll() {
  return HoldOrReleaseAll(0);
}

bool CDownloadJob::ResumeAll() {
  return HoldOrReleaseAll(1);
}

bool CDownloadJob::HoldOrReleaseAll(int32_t running) {
  if (m_schedGuard) {
    return false;
  }
  m_schedGuard = true;
  for (CDownloadThread* worker : m_workers) {
    m_bRunning = running;
    if (running != 0) {
      worker->ResumeWorker();
    } else {
      worker->SuspendWorker();
    }
  }
  if (!m_workers.empty()) {
    EnterActivity(running != 0 ? DownloadActivity::Transferring : DownloadActivity::Paused);
  }
  m_schedGuard = false;
  return !m_workers.empty();
}

bool CDownloadJob::ClosePartFile() {
  StopAppending();
  return m_partFile.Close();
}

void CDownloadJob::StopAppending() {
  m_pAppender.reset();
  m_spareBuffers.Clear();
}

void CDownloadJob::StopAllWorkers() {
  for (CDownloadThread* worker : m_workers) {
    StopAndRetire(worker);
  }
  m_workers.clear();
}

void CDownloadJob::ShowRestartNotice(const std::string& text) {
  if (text == m_strLastNotice) {
    return;
  }
  m_strLastNotice = text;
  m_view.LockWindowUpdate();
  m_view.SetStatusText(SingleLineText(text) + kRestartNoticeSuffix);
  m_view.RedrawStatusLine();
  m_view.SetTimeText("");
  m_view.UnlockWindowUpdate();
}

void CDownloadJob::StopAndRetire(CDownloadThread* worker) {
  // Not complete any more, so stopping also closes the connection it kept for a later segment.
  worker->m_bComplete.store(0);
  worker->StopWorker();
  m_reaper.Retire(worker);
}

void CDownloadJob::EnterActivity(DownloadActivity activity) {
  m_view.ShowActivity(activity);
  // With one launch per pass the workers' pace is as it always was, and at line speed they do not
  // sleep between reads; more is asked only between the two.
  if (activity == DownloadActivity::Transferring && m_settings.m_nSegmentsPerPass > 1 &&
      !m_settings.AtLineSpeed()) {
    m_fineTimer.Hold();
  } else {
    m_fineTimer.Release();
  }
}

void CDownloadJob::ArmTimer(uint32_t id, uint32_t periodMs) {
  m_view.MessageTarget().SetTimer(id, periodMs);
}

void CDownloadJob::KillTimer(uint32_t id) {
  m_view.MessageTarget().KillTimer(id);
}
