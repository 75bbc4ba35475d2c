#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "net/abort_scope.h"
#include "net/ftp_parsers.h"
#include "net/session_shared.h"

namespace net {

// True when text can go out as one command line: no CR or LF inside.
bool IsSingleLine(std::string_view text);

// The control connection of one FTP login: one command line out, one reply back, with the
// session's time-outs. Once a call has failed half-way, the command/reply order is lost, so the
// connection is broken and every later call fails rather than read a stale reply. Shared by the
// connection and the files open on it; every call but Abort belongs to one thread.
class FtpControl {
 public:
  explicit FtpControl(std::shared_ptr<CInternetSession::Shared> session);

  // Connects to the server (dotted address or name); the greeting is left for the caller.
  void Connect(const std::string& server, uint16_t port);
  // Sends one line (without its line end); the caller has checked IsSingleLine.
  void Send(std::string_view line);
  using Deadline = std::chrono::steady_clock::time_point;

  // The next reply, kept as the thread's last response. Each receive waits at most the receive
  // time-out, and the whole reply must also end within it counted from its first byte (and by
  // until, if given): a server that trickles a reply cannot hold the caller. Past a limit it
  // throws kErrorTimeout and the connection is broken.
  FtpReply ReadReply(std::optional<Deadline> until = std::nullopt);
  // The next final reply, after at most a few preliminary ones (the same error past either
  // limit).
  FtpReply ReadFinalReply(std::optional<Deadline> until = std::nullopt);
  FtpReply Exchange(std::string_view line);
  // Makes later calls fail, for when the replies are out of step with the commands.
  void MarkBroken() { broken_ = true; }

  // Any thread: breaks the control connection and every data connection of this login.
  void Abort() { scope_.Abort(); }
  AbortScope& scope() { return scope_; }

  std::string PeerAddress() { return socket_->PeerAddress(); }
  uint32_t connectTimeoutMs() const;
  uint32_t receiveTimeoutMs() const;

  // Sends TYPE only when it changes ('I' or 'A'): some servers forget a restart position at
  // any command but PASV. Throws kErrorExtendedError when refused.
  void EnsureTransferType(char type);

 private:
  [[noreturn]] void ThrowBroken() const;
  [[noreturn]] void ThrowTimedOut();

  std::shared_ptr<CInternetSession::Shared> session_;
  AbortScope scope_;
  ScopedSocket socket_;
  FtpReplyReader reader_;
  bool broken_ = false;
  char transferType_ = 0;  // 0 before the first TYPE
};

}  // namespace net
