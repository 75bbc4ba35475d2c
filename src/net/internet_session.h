#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "net/ftp_parsers.h"
#include "net/internet_error.h"

namespace net {

constexpr uint32_t FTP_TRANSFER_TYPE_ASCII = 1;
constexpr uint32_t FTP_TRANSFER_TYPE_BINARY = 2;

enum class SessionOption { ConnectTimeout, ReceiveTimeout, SendTimeout };

class CFtpConnection;
class CInternetFile;

// Holds the time-outs (60 s each unless set) and the connections made from it. Close may be called
// from any thread: it breaks every blocked call of its connections, and later calls fail at once
// (kErrorOperationCancelled). Destroying the session closes it; its connections may be destroyed
// before or after it.
class CInternetSession {
 public:
  CInternetSession();
  ~CInternetSession();
  CInternetSession(const CInternetSession&) = delete;
  CInternetSession& operator=(const CInternetSession&) = delete;

  void SetOption(SessionOption option, uint32_t milliseconds);
  uint32_t GetOption(SessionOption option) const;

  // Connects to a dotted IPv4 address and logs in (empty user: anonymous). The caller owns the
  // result. Throws CInternetException (kErrorCannotConnect, kErrorTimeout,
  // kErrorIncorrectPassword, kErrorOperationCancelled, ...).
  CFtpConnection* GetFtpConnection(const std::string& server, const std::string& user,
                                   const std::string& password, uint16_t port, bool passive);
  void Close();

  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
};

// A logged-in FTP control connection. Every call but Close belongs to one thread.
class CFtpConnection {
 public:
  ~CFtpConnection();
  CFtpConnection(const CFtpConnection&) = delete;
  CFtpConnection& operator=(const CFtpConnection&) = delete;

  // False when the server refuses; its reply is the last response.
  bool SetCurrentDirectory(const std::string& directory);
  // Sends one command line (a trailing line end of the caller's is replaced by CRLF). True when
  // the server accepts it (1xx-3xx).
  bool Command(const std::string& text);
  // The size of a file in the current directory as the server tells it (SIZE, in binary type),
  // or nothing when it does not. Throws CInternetException on network failures.
  std::optional<int64_t> GetFileSize(const std::string& name);
  // When a file in the current directory was last changed, as the server tells it (MDTM: UTC,
  // "YYYYMMDDHHMMSS" with an optional fraction), or nothing when it does not. Throws
  // CInternetException on network failures.
  std::optional<std::string> GetFileTime(const std::string& name);
  // Opens a remote file for reading over a passive data connection. The caller owns the result;
  // nullptr when the path cannot go out as one command line. Throws CInternetException
  // (kErrorExtendedError when the server refuses the retrieval).
  CInternetFile* OpenFile(const std::string& path,
                          uint32_t transferType = FTP_TRANSFER_TYPE_BINARY);
  // Any thread: shuts the connection down; calls blocked on it, and on the files open on it, fail.
  // Destroying the connection closes it.
  void Close();

  struct Impl;
  explicit CFtpConnection(std::unique_ptr<Impl> impl);
  Impl& impl() { return *impl_; }

 private:
  std::unique_ptr<Impl> impl_;
};

// How a transfer whose data has not ended is closed. AwaitReply closes the data connection and
// waits for the transfer's final reply. Abort also sends ABOR: a server that paces its data may
// notice the closed data connection only when its pause is over, and answer only then; ABOR
// comes in on the control connection, which it answers at once.
enum class TransferClose { AwaitReply, Abort };

// A remote file open for reading.
class CInternetFile {
 public:
  ~CInternetFile();
  CInternetFile(const CInternetFile&) = delete;
  CInternetFile& operator=(const CInternetFile&) = delete;

  // Up to count bytes; fewer only at the end of the data, 0 once it has ended. Throws
  // CInternetException on time-out or a broken connection.
  uint32_t Read(void* buffer, uint32_t count);
  // As Read, but returns once some bytes have come rather than waiting for count of them.
  uint32_t ReadAvailable(void* buffer, uint32_t count);
  // Closes the data connection (early, if the data has not ended) and reads the transfer's
  // final reply, so the control connection is ready for the next command.
  void Close(TransferClose how = TransferClose::AwaitReply);

  struct Impl;
  explicit CInternetFile(std::unique_ptr<Impl> impl);

 private:
  std::unique_ptr<Impl> impl_;
};

// Walks a directory listing, after the framework's file finder: FindFile lists the current
// directory for a pattern; each FindNextFile moves to the next entry (the first one first) and
// returns false when the entry it moved to is the last one.
class CFtpFileFind {
 public:
  explicit CFtpFileFind(CFtpConnection* connection);
  ~CFtpFileFind();

  // False when nothing matches; throws CInternetException on network failures.
  bool FindFile(const std::string& pattern);
  bool FindNextFile();
  std::string GetFileName() const;
  // The listed size; a link's is that of the link itself, not of what it names.
  int64_t GetLength() const;
  bool IsDirectory() const;
  bool IsSymbolicLink() const;
  void Close();

 private:
  CFtpConnection* connection_;
  std::vector<ListingEntry> entries_;
  size_t next_ = 0;
  size_t current_ = 0;
  bool haveCurrent_ = false;
};

}  // namespace net
