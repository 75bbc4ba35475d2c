#include <algorithm>
#include <vector>

#include "engine/download_job.h"
#include "engine/part_file.h"
#include "engine/timers.h"

namespace {

// No new segment while this many listed workers count as active...
constexpr int32_t kMaxActiveWorkers = 15;
// ...or while this many segments are assigned beyond the last one on the disk; at line speed a
// few more, so that one slow segment does not hold back every connection that has finished
// behind it (a bound on memory too: each segment holds its buffer until it is on the disk).
constexpr int32_t kMaxLookAhead = 15;
constexpr int32_t kLineSpeedMaxLookAhead = 20;
// At line speed the end is cut into shares, one per connection, but none below this: each
// segment costs its round trips.
constexpr int32_t kMinTailSegment = 128 * 1024;

}  // namespace

void CDownloadJob::ScheduleSegments() {
  RunPass(Pass::Tick);
  CatchUpFinishedSegments();
}

void CDownloadJob::OnSegmentFinished() {
  // Between ticks, never once the download has ended (the guard stays taken then) nor before it
  // has begun. While a pass, a pause or a resume runs further up this thread (launching a worker
  // dispatches waiting messages), the report is kept for when it has ended: a pass made then
  // would launch segments under the feet of the one that runs.
  if (m_bRunning != 1 || m_workers.empty()) {
    return;
  }
  PassNowOrOnceFree();
}

void CDownloadJob::PassNowOrOnceFree() {
  if (m_schedGuard) {
    m_bSegmentFinishedMeanwhile = true;
    return;
  }
  do {
    m_bSegmentFinishedMeanwhile = false;
    m_schedGuard = true;
    RunPass(Pass::SegmentFinished);
  } while (m_bSegmentFinishedMeanwhile && !m_schedGuard && m_bRunning == 1 && !m_workers.empty());
}

void CDownloadJob::CatchUpFinishedSegments() {
  if (m_bSegmentFinishedMeanwhile && !m_schedGuard) {
    OnSegmentFinished();
  }
}

void CDownloadJob::RunPass(Pass pass) {
  if (m_bPartWriteFailed) {
    OnPartFileWriteFailed();
    return;  // the guard stays taken: nothing more happens in this run
  }
  int32_t active = 0;
  std::vector<SegmentOrder> replacements;
  bool failureListed = false;
  for (auto node = m_workers.begin(); node != m_workers.end();) {
    const auto next = std::next(node);
    CDownloadThread* worker = *node;
    // Acquire: what the worker wrote before its flag (m_nGot, m_buffer, status) is visible.
    if (worker->m_bError.load(std::memory_order_acquire) != 0) {
      if (pass == Pass::SegmentFinished) {
        // Failures are the tick's: their notices and logins keep its pace. Counted as the tick
        // will count it, with its replacement.
        active += 2;
        failureListed = true;
        node = next;
        continue;
      }
      worker->m_bComplete.store(0);
      worker->StopWorker();
      m_workers.erase(node);
      m_nReceived -= worker->m_nGot;
      const SegmentOrder order{worker->m_strFileName, worker->m_nIndex,         worker->m_nStart,
                               worker->m_nLength,     worker->m_dwTransferType, worker->m_bPassive};
      const int32_t working = CountConnections(false);
      if (worker->m_bLoginRefused != 0 && working > 0) {
        // While others of ours are logged in with the same account, a login turned away can
        // only be for their number: the server takes no more of us than it has let in. Not a
        // failure of the segment, which waits for a connection that one of those frees.
        m_connectionLimit.Learn(working);
        m_waitingSegments.push_back(order);
      } else {
        ShowRestartNotice(worker->GetStatus());
        replacements.push_back(order);
        // A failed worker counts twice: once for itself and once for its replacement.
        active += 2;
      }
      m_reaper.Retire(worker);
    } else if (worker->m_bComplete.load(std::memory_order_acquire) != 0) {
      worker->StopWorker();  // keeps the connection open for a later segment
      AppendIfItsTurn(*worker);
    } else {
      ++active;
    }
    node = next;
  }
  // Launched after the walk, in the order met, each at the head: the walk never meets a list
  // that a donor's removal has changed under it.
  for (const SegmentOrder& order : replacements) {
    LaunchOver(order, SegmentLaunch::Replacement);
  }

  if (m_nWritten == m_nFileSize) {
    FinishDownload();
    return;  // the guard stays taken for the rest of the run
  }
  // New logins are counted per tick. At line speed a finished segment's pass may try more while
  // no listed worker has failed: the logins so far have all been let in, so the server has not
  // shown a limit, and the pool fills without waiting for the tick.
  if (pass == Pass::Tick || (m_settings.AtLineSpeed() && !failureListed)) {
    m_connectionLimit.BeginPass();
  }
  LaunchSegments(active);
  m_schedGuard = false;
}

void CDownloadJob::LaunchSegments(int32_t active) {
  const int32_t lookAhead = m_settings.AtLineSpeed() ? kLineSpeedMaxLookAhead : kMaxLookAhead;
  // Segments turned away at login come first: they are earlier in the file.
  while (!m_waitingSegments.empty()) {
    // A copy: launching dispatches waiting messages.
    const SegmentOrder order = m_waitingSegments.front();
    const Launch launch = LaunchOver(order, SegmentLaunch::Waiting);
    if (launch == Launch::NoConnection) {
      return;
    }
    m_waitingSegments.pop_front();
    if (launch == Launch::NotMade) {
      return;  // as below: one message box a pass
    }
  }
  for (int32_t launched = 0;
       launched < m_settings.m_nSegmentsPerPass && active < kMaxActiveWorkers &&
       m_nNextOffset < m_nFileSize && m_nLastAssigned - m_nLastWritten < lookAhead;
       ++launched, ++active) {
    const int32_t length = NextSegmentLength();
    const Launch launch = LaunchOver({m_settings.m_strFileName, m_nLastAssigned + 1, m_nNextOffset,
                                      length, net::FTP_TRANSFER_TYPE_BINARY, 1},
                                     SegmentLaunch::New);
    if (launch == Launch::NoConnection) {
      return;
    }
    ++m_nLastAssigned;
    m_nNextOffset += length;
    // After a worker that could not be made (the user has been told) the pass makes no more:
    // one message box, not one per segment the pass may start.
    if (launch == Launch::NotMade) {
      return;
    }
  }
}

int32_t CDownloadJob::NextSegmentLength() const {
  int64_t length = SEGMENT_SIZE;
  if (m_settings.AtLineSpeed()) {
    // Near the end a connection that comes free takes an equal share of what is still to come,
    // assigned or not: the connections then end at about the same time, instead of a few
    // carrying the last full segments alone while the others wait.
    const int64_t toCome = m_nFileSize - m_nReceived;
    const int64_t share = (toCome + kMaxActiveWorkers - 1) / kMaxActiveWorkers;
    length = std::clamp<int64_t>(share, kMinTailSegment, SEGMENT_SIZE);
  }
  return static_cast<int32_t>(std::min(length, m_nFileSize - m_nNextOffset));
}

CDownloadJob::Launch CDownloadJob::LaunchOver(const SegmentOrder& order, SegmentLaunch kind) {
  // A written worker's connection first.
  CDownloadThread* written = TakeWrittenDonor();
  CDownloadThread* donor = written;
  if (!HoldsConnection(donor)) {
    // A new segment logs in while the server takes more of us. The others, and a new one at the
    // server's limit, borrow the connection of a finished worker still waiting for its turn,
    // which keeps its segment and its place: a server that limits connections would otherwise
    // turn them away for as long as such workers hold theirs.
    const auto mayLogIn = [&] {
      return kind == SegmentLaunch::Replacement ||
             m_connectionLimit.AllowLogin(CountConnections(true));
    };
    if (kind != SegmentLaunch::New || !mayLogIn()) {
      if (CDownloadThread* holder = FindWaitingConnectionHolder()) {
        donor = holder;
      } else if (kind == SegmentLaunch::New || !mayLogIn()) {
        m_reaper.Retire(written);  // written and with nothing left to lend: of no more use
        return Launch::NoConnection;
      }
    }
  }
  const int32_t made = LaunchWorker(donor, order.fileName, order.index, order.start, order.length,
                                    order.transferType, order.passive, kind != SegmentLaunch::New);
  // Its session and connection now belong to the new worker (or, if none could be made, are
  // freed with it).
  m_reaper.Retire(written);
  return made != 0 ? Launch::Made : Launch::NotMade;
}

void CDownloadJob::AppendIfItsTurn(CDownloadThread& worker) {
  if (worker.m_nIndex != m_nLastAppended + 1) {
    return;  // an earlier segment is still missing: looked at again in a later pass
  }
  // Its bytes go to the appender; the worker stays only to lend its connection.
  m_appendedLengths.push_back(worker.m_nGot);
  m_pAppender->Append(std::move(worker.m_buffer), worker.m_nGot);
  worker.m_bWritten = 1;
  m_nLastAppended = worker.m_nIndex;
}

CDownloadThread* CDownloadJob::TakeWrittenDonor() {
  // The first written worker, but one that still holds its connection before it: a written
  // worker whose connection was lent away gives the new worker nothing, which then needs a login
  // the server may refuse.
  auto donor = m_workers.end();
  for (auto node = m_workers.begin(); node != m_workers.end(); ++node) {
    if (!(*node)->m_bWritten) {
      continue;
    }
    if ((*node)->m_pConnection != nullptr) {
      donor = node;
      break;
    }
    if (donor == m_workers.end()) {
      donor = node;
    }
  }
  if (donor == m_workers.end()) {
    return nullptr;
  }
  CDownloadThread* worker = *donor;
  m_workers.erase(donor);
  return worker;
}

CDownloadThread* CDownloadJob::FindWaitingConnectionHolder() const {
  // A complete worker still waiting for its turn keeps its segment and its place, and lends
  // only its connection.
  const auto holder = std::find_if(m_workers.begin(), m_workers.end(), HoldsConnection);
  return holder == m_workers.end() ? nullptr : *holder;
}

bool CDownloadJob::HoldsConnection(const CDownloadThread* worker) {
  // A finished worker's pointer is settled once its flag is seen; a lent one is null.
  return worker != nullptr && worker->m_bComplete.load(std::memory_order_acquire) != 0 &&
         worker->m_pConnection != nullptr;
}

int32_t CDownloadJob::CountConnections(bool withOpening) const {
  return static_cast<int32_t>(
      std::count_if(m_workers.begin(), m_workers.end(), [withOpening](const CDownloadThread* w) {
        if (w->m_bError.load(std::memory_order_acquire) != 0) {
          return false;
        }
        if (w->m_bComplete.load(std::memory_order_acquire) != 0) {
          return HoldsConnection(w);
        }
        // Still at work: logged in, or opening its connection.
        return withOpening || w->m_bConnected.load(std::memory_order_relaxed) != 0;
      }));
}

void CDownloadJob::OnPartFileWriteFailed() {
  // The part file still holds an unbroken prefix (at most the start of this segment beyond the
  // earlier ones, at its right offset), so the next run resumes correctly from its length.
  // Fetching more now would only fill buffers that can never be written.
  KillTimer(TIMER_DISPLAY);
  KillTimer(TIMER_SCHEDULER);
  StopAllWorkers();
  ClosePartFile();
  EnterActivity(DownloadActivity::Failed);
  m_view.ShowMessage(PartPath(), "File write error");
}
