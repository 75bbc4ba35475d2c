#include <algorithm>

#include "engine/download_job.h"
#include "engine/messages.h"
#include "engine/part_file.h"
#include "engine/timers.h"

namespace {

constexpr char kDamagedText[] =
    "The downloaded file was damaged and has been deleted.\n"
    "Press Next to download it again from the start.";
constexpr char kDamagedCaption[] = "Damaged download";

// The hexadecimal digits of two hashes, whatever their case.
bool SameDigits(const std::string& a, const std::string& b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'F' ? static_cast<char>(c + 32) : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

void CDownloadJob::OnWorkerDone(uintptr_t wParam) {
  auto* worker = reinterpret_cast<CDownloadThread*>(wParam);
  // Segment workers report this when stopped before they began, and at line speed when their
  // segment is complete: a pass looks at every listed worker's flags, so which one reported
  // does not matter. Such a worker, and any retired one, is still allocated here (the reaper
  // frees a worker only after its last message), so the comparison is all it takes.
  if (worker == nullptr) {
    return;
  }
  if (worker != m_pProbe) {
    if (m_settings.AtLineSpeed()) {
      OnSegmentFinished();
    }
    return;
  }
  m_pProbe = nullptr;
  const int64_t size = worker->m_nStart;
  if (size > 0) {
    m_nFileSize = size;
    m_strRemoteTime = worker->m_strRemoteTime;
    m_strTotalKB = FormatThousands(static_cast<int32_t>(size / 1024));
    m_view.MessageTarget().SetTimer(TIMER_START, kStartDelayMs, platform::TimerMode::OneShot);
  } else {
    // Not found, empty, or the probe failed: ask again, without end, after a pause.
    m_view.MessageTarget().SetTimer(TIMER_PROBE_RETRY, kProbeRetryDelayMs,
                                    platform::TimerMode::OneShot);
  }
  // The first segment opens a connection of its own; the probe's is closed with it.
  StopAndRetire(worker);
}

void CDownloadJob::OnWorkerBytes(intptr_t lParam) {
  const auto bytes = static_cast<int64_t>(lParam);
  m_nReceivedForSpeed += bytes;
  m_nReceived += bytes;
}

void CDownloadJob::OnPartWritten(uintptr_t wParam, intptr_t lParam) {
  if (m_pAppender == nullptr || wParam != reinterpret_cast<uintptr_t>(m_pAppender.get())) {
    return;  // from an appender already stopped
  }
  if (lParam < 0) {
    m_bPartWriteFailed = true;
  }
  for (intptr_t written = 0; written < lParam && !m_appendedLengths.empty(); ++written) {
    m_nWritten += m_appendedLengths.front();
    m_appendedLengths.pop_front();
    ++m_nLastWritten;
  }
  // A pass ends the download, with its error or its completion; at line speed it also launches
  // into the room that the disk has just made in the look-ahead.
  if (m_bRunning == 1 &&
      (m_bPartWriteFailed || m_nWritten == m_nFileSize || m_settings.AtLineSpeed())) {
    PassNowOrOnceFree();
  }
}

bool CDownloadJob::OnJobMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case WM_WORKER_DONE:
      OnWorkerDone(wParam);
      return true;
    case WM_WORKER_BYTES:
      OnWorkerBytes(lParam);
      return true;
    case WM_FILE_HASHED:
      OnFileHashed(wParam);
      return true;
    case WM_PART_WRITTEN:
      OnPartWritten(wParam, lParam);
      return true;
    default:
      return false;
  }
}

void CDownloadJob::OnFileHashed(uintptr_t wParam) {
  if (m_pHashCheck == nullptr || wParam != reinterpret_cast<uintptr_t>(m_pHashCheck.get())) {
    return;
  }
  const std::optional<std::string> digest = m_pHashCheck->Digest();
  m_pHashCheck.reset();
  if (!digest) {
    // Our own file could not be read back: it stays whole under its part name, and the next
    // start checks it again.
    EnterActivity(DownloadActivity::Failed);
    m_view.ShowMessage(PartPath(), "File read error");
    return;
  }
  if (SameDigits(*digest, m_settings.m_strExpectedSha256)) {
    GiveFinalName();
    return;
  }
  // Which bytes are bad cannot be told, so none is kept. Nothing starts again by itself: with a
  // wrong hash in the build, that would download for ever.
  RemovePartFile(PartPath());
  ReturnToStart();
  m_view.ShowReadyToStart();
  EnterActivity(DownloadActivity::Failed);
  m_view.ShowMessage(kDamagedText, kDamagedCaption);
}
