#include "engine/download_thread.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <string>

#include "engine/messages.h"
#include "net/socket.h"
#include "platform/clock.h"

namespace {

constexpr uint32_t kReadBlock = 4096;
// At line speed: as much as one receive brings, up to this; larger gains nothing on a fast
// line and only means a longer wait on a slow one.
constexpr uint32_t kLineSpeedReadBlock = 256 * 1024;
// At line speed, bytes are reported this often rather than after every read: the window only
// shows them at its ticks.
constexpr uint32_t kLineSpeedReportMs = 100;
// Server replies are quoted in error texts up to this length before the error buffer cuts them.
constexpr size_t kReplyQuoteLimit = 255;
// The 12003 status quotes the server's reply at this length.
constexpr size_t kExtendedReplyLimit = 1024 - 1;
// The status of a failure that brought no text of its own: a failure is never shown as none.
constexpr char kUnknownError[] = "Unknown error";

// What a failing step of the transfer raises; InitInstance makes it the worker's result.
struct TransferFailure {
  std::string text;
};

// An entry names the installer by its name, or by a path ending in it: some servers list
// "manual/vm/Clients/Setup.exe" for "LIST Setup.exe".
bool NamesFile(const std::string& entryName, const std::string& fileName) {
  if (entryName.size() < fileName.size()) {
    return false;
  }
  const size_t path = entryName.size() - fileName.size();
  return entryName.compare(path, fileName.size(), fileName) == 0 &&
         (path == 0 || entryName[path - 1] == '/');
}

std::string WithoutLineEnds(std::string text) {
  text.erase(
      std::remove_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }),
      text.end());
  return text;
}

}  // namespace

// The result of Transfer, kept apart from the published flags until every other result field
// has been written.
struct CDownloadThread::Outcome {
  bool complete = false;
  bool error = false;
};

CDownloadThread::CDownloadThread(std::unique_ptr<unsigned char[]> buffer)
    : m_buffer(buffer != nullptr
                   ? std::move(buffer)
                   : std::unique_ptr<unsigned char[]>(new unsigned char[SEGMENT_SIZE])) {}

CDownloadThread::~CDownloadThread() {
  // The object must outlive its thread; an owner that wants this to be quick stops it first.
  WaitForThreadEnd();
  CloseRemoteFile();
  delete m_pConnection;
  delete m_pSession;
}

CDownloadThread* CDownloadThread::CreateObject(std::unique_ptr<unsigned char[]> buffer) {
  try {
    return new CDownloadThread(std::move(buffer));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

const CDownloadThread::RuntimeClass* CDownloadThread::GetRuntimeClass() {
  static const RuntimeClass runtimeClass{"CDownloadThread", "CWinThread"};
  return &runtimeClass;
}

bool CDownloadThread::InitInstance() {
  if (IsStopped()) {
    m_strStatus = "Cancel";
    PostToOwner(WM_WORKER_DONE, 0);
    return false;
  }

  Outcome outcome;
  // A failure's text; empty only while nothing failed. A size probe that found no size sets
  // outcome.error alone and keeps "Suceess".
  std::string failure;
  try {
    if (m_pSession == nullptr) {
      OpenSession();
    }
    Transfer(m_strServerDir + "/" + m_strFileName, outcome);
  } catch (const TransferFailure& raised) {
    failure = raised.text.empty() ? kUnknownError : raised.text;
  } catch (const net::CInternetException& exception) {
    failure = "Internet Exception Error " + std::to_string(exception.m_dwError);
    if (exception.m_dwError == net::kErrorExtendedError) {
      failure += net::InternetGetLastResponseInfo().substr(0, kExtendedReplyLimit);
    }
  } catch (const std::bad_alloc&) {
    failure = "Out of memory";
  } catch (...) {
    // Nothing may escape the thread: the window must still see an outcome and m_hFinished.
    failure = kUnknownError;
  }
  CloseRemoteFile();

  std::string status = failure;
  if (IsStopped() && !outcome.complete) {
    // A stop breaks the connection under whatever call was running; what that call reported is
    // the stop's doing, not a failure of the transfer.
    status = "Cancel";
    outcome.error = false;
  } else if (!failure.empty()) {
    outcome.error = true;
  } else if (!outcome.complete && m_nIndex >= 0) {
    // A segment worker that was neither stopped nor given its whole segment has failed; the
    // scheduler waits for one flag or the other.
    status = kUnknownError;
    outcome.error = true;
  }
  m_strStatus = status.empty() ? "Suceess" : status;
  // Before the flags: a failed segment's bytes are taken back from the count by the window, so
  // every one of them must have been counted first.
  ReportNewBytes();

  // Release: the window reads m_nGot, m_buffer, m_nStart and m_strStatus after seeing a flag.
  if (outcome.complete) {
    m_bComplete.store(1, std::memory_order_release);
  }
  if (outcome.error) {
    m_bError.store(1, std::memory_order_release);
  }
  if (m_nIndex < 0 || (m_bLineSpeed && outcome.complete)) {
    PostToOwner(WM_WORKER_DONE, 0);
  }
  return false;
}

void CDownloadThread::Delete() {
  m_nRunState.store(0);
  // Last touch of the object on this thread: the window may free it once this is set.
  m_hFinished.Set();
}

net::CInternetSession* CDownloadThread::CreateSession() {
  return new net::CInternetSession;
}

void CDownloadThread::OpenSession() {
  net::CInternetSession* session = CreateSession();
  const uint32_t base = static_cast<uint32_t>(std::max(m_nTimeoutMs, 0));
  const bool probe = m_nIndex < 0;
  session->SetOption(net::SessionOption::ConnectTimeout, (probe ? 2 : 3) * base);
  session->SetOption(net::SessionOption::ReceiveTimeout, (probe ? 2 : 3) * base);
  session->SetOption(net::SessionOption::SendTimeout, 2 * base);
  {
    std::lock_guard<std::mutex> lock(m_connectionLock);
    m_pSession = session;
  }
  // A stop that came after InitInstance looked and before the session was published found
  // nothing to close; the lock orders this look after that CloseConnection.
  if (IsStopped()) {
    session->Close();
  }
}

void CDownloadThread::Transfer(const std::string& remotePath, Outcome& outcome) {
  const int64_t start = m_nStart;
  std::string remoteName = remotePath;
  const size_t slash = remotePath.rfind('/');
  if (slash != std::string::npos) {
    m_strRemoteDir = remotePath.substr(0, slash + 1);
    remoteName = remotePath.substr(slash + 1);
  }

  // A connection taken over from a finished worker is logged in and in the right directory.
  if (m_pConnection == nullptr) {
    Connect();
    if (!m_pConnection->SetCurrentDirectory(m_strRemoteDir)) {
      Fail(WithoutLineEnds(net::InternetGetLastResponseInfo().substr(0, kReplyQuoteLimit)));
    }
    if (m_nLength == 0 && m_nIndex < 0) {
      FindSize(remoteName, outcome);
      return;
    }
  }
  ReadSegment(start, remoteName, outcome);
}

void CDownloadThread::Connect() {
  for (int32_t attemptsLeft = std::max(m_nAttempts, 1); attemptsLeft > 0;) {
    --attemptsLeft;
    PumpMessages();
    if (IsStopped()) {
      Fail("Cancel");
    }
    const auto address = net::ResolveFirstIPv4(m_strHost);
    if (!address) {
      Fail(m_strHost + " Not Found");
    }
    try {
      net::CFtpConnection* connection = m_pSession->GetFtpConnection(
          *address, m_strUser, m_strPassword, static_cast<uint16_t>(m_nPort), m_bPassive != 0);
      std::lock_guard<std::mutex> lock(m_connectionLock);
      m_pConnection = connection;
      m_bConnected.store(1, std::memory_order_relaxed);
      return;
    } catch (const net::CInternetException& exception) {
      const std::string message = exception.GetErrorMessage();
      m_bLoginRefused = exception.m_bLoginRefused ? 1 : 0;
      if (attemptsLeft == 0 ||
          WaitWithPump(m_hStop, static_cast<uint32_t>(std::max(m_nRetryDelaySec, 0)) * 1000u)) {
        Fail(message);
      }
    }
  }
}

void CDownloadThread::FindSize(const std::string& remoteName, Outcome& outcome) {
  net::CFtpFileFind finder(m_pConnection);
  bool more = finder.FindFile(remoteName);
  std::optional<int64_t> listedSize;
  while (more) {
    more = finder.FindNextFile();
    // A directory of that name is not the installer.
    if (!finder.IsDirectory() && NamesFile(finder.GetFileName(), remoteName)) {
      if (!finder.IsSymbolicLink()) {
        listedSize = finder.GetLength();
      }
      break;
    }
  }
  finder.Close();
  // A link's listed size is that of the link, and a link to a file of another name may not be
  // listed at all (vsftpd): the server knows the size of what the name leads to.
  m_nStart = listedSize ? *listedSize : m_pConnection->GetFileSize(remoteName).value_or(0);
  if (m_nStart < 1) {
    outcome.error = true;
    return;
  }
  // With the size, it tells whether a part file of an earlier run came from this same file.
  m_strRemoteTime = m_pConnection->GetFileTime(remoteName).value_or("");
  outcome.complete = true;
}

void CDownloadThread::ReadSegment(int64_t start, const std::string& remoteName, Outcome& outcome) {
  if (m_nLength < 1 || m_nLength > SEGMENT_SIZE) {
    // Its bytes could neither fit the buffer nor ever complete the segment.
    Fail("Invalid segment length " + std::to_string(m_nLength));
  }
  m_bTransferring.store(1);
  if (start > 0) {
    char command[48];
    std::snprintf(command, sizeof(command), "REST %" PRId64 "\n", start);
    if (!m_pConnection->Command(command)) {
      Fail("Cant not file position of FTP Server");
    }
  }
  m_pFile = m_pConnection->OpenFile(m_strRemoteDir + remoteName, m_dwTransferType);
  if (m_pFile == nullptr) {
    Fail("Unable to open remote file " + remoteName);
  }

  // Reads land in the segment's buffer itself. Never ask for more than the segment holds, so a
  // server that sends past the segment's end cannot overrun it; only an empty read means the data
  // has ended.
  bool dataEnded = false;
  m_reportedAt = platform::TickCount();
  while (!IsStopped() && m_nGot < m_nLength) {
    m_runGate.Wait(platform::kInfinite);  // held here while paused; a stop opens the gate
    if (IsStopped()) {
      break;
    }
    const uint32_t room = static_cast<uint32_t>(m_nLength - m_nGot);
    const uint32_t count =
        m_bLineSpeed
            ? m_pFile->ReadAvailable(m_buffer.get() + m_nGot, std::min(kLineSpeedReadBlock, room))
            : m_pFile->Read(m_buffer.get() + m_nGot, std::min(kReadBlock, room));
    if (!m_bLineSpeed) {
      platform::SleepMs(1);
    }
    if (count == 0) {
      dataEnded = true;
      break;
    }
    m_nGot += static_cast<int32_t>(count);
    if (!m_bLineSpeed || platform::TickCount() - m_reportedAt >= kLineSpeedReportMs) {
      ReportNewBytes();
    }
  }
  m_bTransferring.store(0);
  // At line speed the connection's next segment should not wait for a pacing server to notice
  // the closed data connection.
  CloseRemoteFile(m_bLineSpeed && m_nGot == m_nLength ? net::TransferClose::Abort
                                                      : net::TransferClose::AwaitReply);

  if (m_nGot == m_nLength) {
    outcome.complete = true;
  } else if (dataEnded) {
    Fail("Broken network...");
  }
  // Otherwise the worker was stopped; InitInstance reports "Cancel".
}

void CDownloadThread::Fail(const std::string& text) {
  // Cut to the error buffer whole bytes at a time, always terminated.
  const size_t length = std::min(text.size(), sizeof(m_szError) - 1);
  std::memcpy(m_szError, text.data(), length);
  m_szError[length] = '\0';
  throw TransferFailure{m_szError};
}

void CDownloadThread::CloseRemoteFile(net::TransferClose how) {
  if (m_pFile == nullptr) {
    return;
  }
  try {
    m_pFile->Close(how);
  } catch (const net::CInternetException&) {
    // The data is in or it is not; a failing close changes neither.
  }
  delete m_pFile;
  m_pFile = nullptr;
}

void CDownloadThread::PostToOwner(uint32_t message, intptr_t lParam, bool wakeOwner) {
  if (m_pOwner == nullptr) {
    return;
  }
  const auto self = reinterpret_cast<uintptr_t>(this);
  if (wakeOwner) {
    m_pOwner->Post(message, self, lParam);
  } else {
    m_pOwner->PostWithoutWaking(message, self, lParam);
  }
}

void CDownloadThread::ReportNewBytes() {
  if (m_nGot == m_nReported) {
    return;
  }
  // Only the window's timer ticks read the count, and every report is handled before the next
  // tick, so the window's thread need not wake for each of them.
  PostToOwner(WM_WORKER_BYTES, static_cast<intptr_t>(m_nGot - m_nReported), false);
  m_nReported = m_nGot;
  m_reportedAt = platform::TickCount();
}

uint32_t CDownloadThread::ResumeWorker() {
  if (m_nRunState.load() == 1) {
    return 1;
  }
  m_nRunState.store(1);
  const bool wasHeld = !m_runGate.IsSet();
  m_runGate.Set();
  // Also starts a thread that was created held and never ran (a stop may come first).
  const uint32_t previous = ResumeThread();
  return wasHeld ? 1 : previous;
}

int32_t CDownloadThread::SuspendWorker() {
  // After a stop the gate must stay open: a worker held there would never end, and exit waits.
  if (m_nRunState.load() == 1 && !m_bStopRequested) {
    m_runGate.Reset();
    m_nRunState.store(0);
  }
  return m_nRunState.load();
}

void CDownloadThread::StopWorker() {
  if (m_bStopRequested) {
    return;
  }
  m_bStopRequested = 1;
  m_nRunState.store(0);
  m_hStop.Set();
  ResumeWorker();
  SetThreadPriority(platform::ThreadPriority::AboveNormal);
  CloseConnection();
}

void CDownloadThread::CloseConnection() {
  m_bTransferring.store(0);
  if (m_bComplete.load(std::memory_order_acquire) != 0) {
    return;  // kept for a later segment to take over
  }
  std::lock_guard<std::mutex> lock(m_connectionLock);
  // While the thread may run, only break the connection: the worker is inside its calls, and
  // the objects are freed with the worker once its thread has ended.
  const bool threadIdle = m_nRunState.load() == 2 || m_hFinished.IsSet();
  if (m_pConnection != nullptr) {
    if (threadIdle) {
      delete m_pConnection;
      m_pConnection = nullptr;
    } else {
      m_pConnection->Close();
    }
  }
  if (m_pSession != nullptr) {
    if (threadIdle) {
      delete m_pSession;
      m_pSession = nullptr;
    } else {
      m_pSession->Close();
    }
  }
}

std::string CDownloadThread::GetStatus() const {
  return m_strStatus;
}
