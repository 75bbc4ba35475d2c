#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <string>

#include "engine/connection_limit.h"
#include "engine/download_settings.h"
#include "engine/download_thread.h"
#include "engine/download_view.h"
#include "engine/file_hash_check.h"
#include "engine/part_file_appender.h"
#include "engine/worker_reaper.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/timer_resolution.h"

// Runs after a completed download has been moved to its final name, so that the progress
// display (which lives above the engine) shows 100 % on the bar and in the tray tooltip.
using CompletionProgress = std::function<void()>;

// The one download of a run: the size probe, the segment plan, the pool of segment workers, the
// scheduler that appends finished segments to the part file in order, and the byte counters the
// progress display reads. Everything here runs on the window's thread (button, timer and message
// handlers); workers report only through their own flags and posted messages.
//
// The view and its message target must outlive the job: workers post to that target until their
// threads have ended, which the job's destructor waits for.
class CDownloadJob {
 public:
  CDownloadJob(DownloadSettings settings, IDownloadView& view, CompletionProgress showFullProgress);
  // Stops every worker, the size probe included, and waits for their threads. Leaves the view
  // alone (a window may be half torn down by then): its owner kills the timers first.
  ~CDownloadJob();
  CDownloadJob(const CDownloadJob&) = delete;
  CDownloadJob& operator=(const CDownloadJob&) = delete;

  // Before the start only: the folder the user picked.
  void SetTargetFolder(const std::string& folder) { m_settings.m_strTargetFolder = folder; }
  const DownloadSettings& Settings() const { return m_settings; }
  std::string PartPath() const;
  std::string FinalPath() const;

  // A new worker, filled from the settings, listed unless it is a size probe (index -1), which
  // becomes the probe instead. A donor hands over its session and connection and keeps nothing
  // of them; the caller decides what becomes of the donor. 1 on success; 0 after telling the
  // user that no worker could be made.
  int32_t LaunchWorker(CDownloadThread* donor, const std::string& fileName, int32_t index,
                       int64_t start, int32_t length, uint32_t transferType, int32_t passive,
                       bool atHead);
  // The start command's part: phase 2 and the first size probe.
  void StartDownload();
  // A size probe at the tail, with the settings' file name.
  void LaunchSizeProbe();
  // The part file is open and positioned at its end, S bytes long: segment 0 starts there, or
  // at 0 when the part file came from another remote file (it is emptied then).
  void StartFirstSegment(int64_t partLength);
  // One pass of the scheduler, entered with m_schedGuard just taken. Releases it at the end,
  // except after the completion or a failed write to the part file.
  void ScheduleSegments();
  // At line speed, a segment worker's report that it has finished: the same pass at once,
  // leaving failures to the tick.
  void OnSegmentFinished();
  // The pass a report that came during another pass (or the start) asked for, once that ended.
  void CatchUpFinishedSegments();
  // The whole file is in the part file: its final name, once its hash is checked where the
  // build names one (on a thread: WM_FILE_HASHED brings the result).
  void FinishDownload();
  // Hold or release every listed worker. False when nothing was done: a scheduler pass, pause or
  // resume is in progress further up this thread, or no worker is listed.
  bool PauseAll();
  bool ResumeAll();
  // Stops every listed worker, closing its connection, and hands it to the reaper.
  void StopAllWorkers();
  // Shows a failed worker's status in the status line, unless it is the notice shown last.
  void ShowRestartNotice(const std::string& text);

  // WM_WORKER_DONE: the size probe's report (or a late report of a retired worker: ignored).
  void OnWorkerDone(uintptr_t wParam);
  // WM_WORKER_BYTES: bytes a segment worker has just read.
  void OnWorkerBytes(intptr_t lParam);
  // WM_FILE_HASHED: the finished part file's hash is known (or could not be had).
  void OnFileHashed(uintptr_t wParam);
  // WM_PART_WRITTEN: appended segments are on the disk, or the part file could not be written.
  void OnPartWritten(uintptr_t wParam, intptr_t lParam);
  // The job's own messages from its workers, appender and hash check, handed to the calls above;
  // false for any other message.
  bool OnJobMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
  // Stops appending and closes the part file; what was still queued is dropped, and the part
  // file stays an exact prefix.
  bool ClosePartFile();

  // The live segment workers: new segments at the tail, replacements of failed ones at the head.
  std::list<CDownloadThread*> m_workers;
  int32_t m_bRunning = 1;  // 0 while paused
  int32_t m_nPhase = 1;    // 2 once the user has started the download
  std::string m_strTotalKB;
  // Set while a scheduler pass, a pause or a resume runs: launching a worker dispatches waiting
  // messages, and this keeps those three from nesting. A busy flag of this thread, never a wait.
  bool m_schedGuard = false;
  int64_t m_nFileSize = 0;
  std::string m_strRemoteTime;  // the remote file's time as the server told it; empty if unknown
  int64_t m_nNextOffset = 0;    // where the next unassigned segment begins
  int64_t m_nWritten = 0;       // bytes in the part file, on the disk
  // The part file's bytes plus those held by live workers; falls back when a failed worker's
  // bytes are discarded.
  int64_t m_nReceived = 0;
  int64_t m_nReceivedForSpeed = 0;  // every byte received this run; never decreases
  platform::File m_partFile;
  int32_t m_nLastAssigned = -1;  // last segment index handed to a worker
  int32_t m_nLastWritten = -1;   // last segment index in the part file, on the disk
  int32_t m_nLastAppended = -1;  // last segment index handed to the part file's appender
  std::string m_strLastNotice;
  // The running size probe, if any. Never listed.
  CDownloadThread* m_pProbe = nullptr;
  // The check of the finished part file's hash, while it runs.
  std::unique_ptr<CFileHashCheck> m_pHashCheck;
  // What the server allows of our connections at once (tests give it a clock of their own).
  ConnectionLimit m_connectionLimit{platform::TickCount};

 private:
  // What a failed worker was fetching, for its replacement.
  struct SegmentOrder {
    std::string fileName;
    int32_t index;
    int64_t start;
    int32_t length;
    uint32_t transferType;
    int32_t passive;
  };

  enum class Pass { Tick, SegmentFinished };
  void RunPass(Pass pass);
  // The length of the segment at m_nNextOffset: full ones, and at line speed shares of the end.
  int32_t NextSegmentLength() const;
  // Up to the settings' segments per pass, while the caps allow, each taking a written worker's
  // connection where one is free; active: the listed workers that count as active so far.
  void LaunchSegments(int32_t active);
  enum class SegmentLaunch {
    New,          // the next unassigned segment, at the tail
    Waiting,      // one turned away at login, at the head
    Replacement,  // one whose worker failed, at the head
  };
  enum class Launch { Made, NotMade, NoConnection };
  // A worker for the segment over a finished worker's connection (which it takes over; a written
  // donor is freed), or over a new login, which the connection limit may refuse for all but
  // replacements. NotMade: no worker could be made (the user has been told).
  Launch LaunchOver(const SegmentOrder& order, SegmentLaunch kind);
  // Hands a complete worker's segment to the appender if its turn has come; it counts as written
  // once the appender reports it on the disk.
  void AppendIfItsTurn(CDownloadThread& worker);
  // A pass now, or once the pass, pause or resume under way further up this thread has ended.
  void PassNowOrOnceFree();
  CDownloadThread* TakeWrittenDonor();
  CDownloadThread* FindWaitingConnectionHolder() const;
  // A finished worker that still has its connection to lend.
  static bool HoldsConnection(const CDownloadThread* worker);
  // Listed workers, not failed, that hold a logged-in connection (what the server has let in),
  // and withOpening also those still opening theirs.
  int32_t CountConnections(bool withOpening) const;
  void StopAndRetire(CDownloadThread* worker);
  // Pause (0) or resume (1) every listed worker, under the scheduler guard.
  bool HoldOrReleaseAll(int32_t running);
  // Tells the view, and holds the fine timer resolution while segments are fetched where more
  // than one may start per pass and workers still pause between reads, below line speed (see
  // FineTimerResolution); given back at any other activity and at exit.
  void EnterActivity(DownloadActivity activity);
  void ArmTimer(uint32_t id, uint32_t periodMs);
  void KillTimer(uint32_t id);
  void OnPartFileWriteFailed();
  // Where segment 0 starts: the part file's length, or 0 after emptying a part file that is
  // longer than the remote file or came from another one. Records the remote file beside the
  // part file. Nothing, after telling the user, when a file cannot be written.
  std::optional<int64_t> AdoptPartFile(int64_t partLength);
  // Stops the appender (dropping what it still holds) and frees the spare buffers.
  void StopAppending();
  // Moves the whole part file to the final name and shows the completion, or a file error.
  void GiveFinalName();
  // After a damaged download: the job as before the user's start, nothing kept of the plan.
  void ReturnToStart();

  // Segments whose login the server turned away for too many connections, in index order: each
  // waits for a connection that another worker frees.
  std::deque<SegmentOrder> m_waitingSegments;
  // A segment reported finished while the guard was taken: a pass is owed once it is released.
  bool m_bSegmentFinishedMeanwhile = false;
  // Buffers of written segments, for the next segments; declared before the appender, which
  // keeps buffers here until it ends.
  CSpareBuffers m_spareBuffers;
  // Writes the part file from StartFirstSegment until the download ends; declared after the
  // part file, which must outlive it.
  std::unique_ptr<CPartFileAppender> m_pAppender;
  // The lengths of the segments handed to the appender and not yet reported on the disk.
  std::deque<int32_t> m_appendedLengths;
  // The appender has reported a failed write: the next pass ends the download with the error.
  bool m_bPartWriteFailed = false;
  DownloadSettings m_settings;
  IDownloadView& m_view;
  CompletionProgress m_showFullProgress;
  CWorkerReaper m_reaper;
  platform::FineTimerResolution m_fineTimer;
};
