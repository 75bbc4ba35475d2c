#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "engine/helpers.h"
#include "net/internet_session.h"
#include "platform/event.h"
#include "platform/message_target.h"
#include "platform/thread.h"

// One worker: a size probe (m_nIndex -1, m_nLength 0) that logs in and lists the file to learn
// its size, or a segment fetch that reads m_nLength bytes from offset m_nStart into m_buffer.
// It runs once on its own thread and reports through the flags below and two posted messages;
// the window creates, starts, holds, stops and frees it.
//
// Threads: the worker's thread writes m_nGot, m_buffer, m_nStart, m_strRemoteTime, m_strStatus,
// m_szError and m_bLoginRefused, and then publishes its outcome by storing m_bComplete or
// m_bError with release order; the window reads those results only after an acquire load has seen
// one of the flags, or after m_hFinished.
class CDownloadThread : public platform::CWinThread {
 public:
  struct RuntimeClass {
    const char* m_lpszClassName;
    const char* m_lpszBaseClassName;
  };

  // Reads into the buffer given (SEGMENT_SIZE bytes), or into a new one when given none.
  explicit CDownloadThread(std::unique_ptr<unsigned char[]> buffer = nullptr);
  ~CDownloadThread() override;

  // A new worker on the heap, or nullptr when memory for it and its buffer is short.
  static CDownloadThread* CreateObject(std::unique_ptr<unsigned char[]> buffer = nullptr);
  // The worker owns its session, connection and remote file: the destructor waits for the
  // thread to end and frees whatever it still holds (a taker-over clears the donor's pointers).
  static const RuntimeClass* GetRuntimeClass();

  bool InitInstance() override;
  void Delete() override;

  // Window's thread.
  uint32_t ResumeWorker();
  int32_t SuspendWorker();
  void StopWorker();
  void CloseConnection();
  std::string GetStatus() const;

  // Connection owned by the worker. A donor's pair is handed over before the thread starts.
  net::CInternetSession* m_pSession = nullptr;
  net::CFtpConnection* m_pConnection = nullptr;
  net::CInternetFile* m_pFile = nullptr;

  std::string m_strStatus;
  std::atomic<int32_t> m_bError{0};
  std::atomic<int32_t> m_bTransferring{0};
  uint32_t m_dwTransferType = net::FTP_TRANSFER_TYPE_BINARY;
  platform::MessageTarget* m_pOwner = nullptr;
  std::string m_strLocalFolder;
  std::string m_strRemoteDir;
  std::string m_strServerDir;
  std::string m_strFileName;
  std::string m_strPassword;
  std::string m_strUser;
  std::string m_strHost;
  int32_t m_nAttempts = 1;
  int32_t m_nRetryDelaySec = 15;
  int32_t m_nPort = 21;
  int32_t m_bPassive = 1;
  int32_t m_nTimeoutMs = 30000;
  int64_t m_nStart = 0;
  // A size probe's: when the file was last changed, as the server tells it; empty when unknown.
  std::string m_strRemoteTime;
  int32_t m_nGot = 0;
  int32_t m_nLength = 0;
  // 2 created and never resumed, 1 running, 0 held or ended.
  std::atomic<int32_t> m_nRunState{2};
  platform::Event m_hFinished;
  platform::Event m_hStop;
  char m_szError[128] = {};
  std::atomic<int32_t> m_bComplete{0};
  int32_t m_nIndex = 0;
  std::unique_ptr<unsigned char[]> m_buffer;
  int32_t m_bStopRequested = 0;
  int32_t m_bWritten = 0;
  // Set with m_bError when the server turned the login away (see net::CInternetException).
  int32_t m_bLoginRefused = 0;
  // The fastest pace: reads as large as the socket gives them, no pause between reads, byte
  // reports a few times a second, and a completed segment reported with WM_WORKER_DONE so that
  // the window appends it and gives the connection its next segment at once.
  bool m_bLineSpeed = false;
  // Set once the worker holds a logged-in connection (its own or a donor's). Only counted by the
  // window, so no other access is ordered by it.
  std::atomic<int32_t> m_bConnected{0};

 protected:
  // The session a worker opens when it took over none. Virtual so that a test can act at the
  // moment before the session exists, where a stop has nothing to close yet.
  virtual net::CInternetSession* CreateSession();

 private:
  struct Outcome;
  void OpenSession();
  void Transfer(const std::string& remotePath, Outcome& outcome);
  void Connect();
  void FindSize(const std::string& remoteName, Outcome& outcome);
  void ReadSegment(int64_t start, const std::string& remoteName, Outcome& outcome);
  [[noreturn]] void Fail(const std::string& text);
  void CloseRemoteFile(net::TransferClose how = net::TransferClose::AwaitReply);
  void PostToOwner(uint32_t message, intptr_t lParam, bool wakeOwner = true);
  // Posts the bytes read since the last report (worker's thread).
  void ReportNewBytes();
  bool IsStopped() { return m_hStop.IsSet(); }

  // Open while the worker may run; reset by SuspendWorker. The read loop waits on it between
  // reads, which is how a paused worker is held (never suspended inside a system call).
  platform::Event m_runGate{true};
  // Orders the worker's changes of m_pSession/m_pConnection against the window's CloseConnection,
  // which may break (but never free) them while the thread runs.
  mutable std::mutex m_connectionLock;
  // Worker's thread only: how much of m_nGot has been posted, and when last.
  int32_t m_nReported = 0;
  uint32_t m_reportedAt = 0;
};
