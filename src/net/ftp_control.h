#pragma once

#include <memory>
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
  // The next reply, kept as the thread's last response.
  FtpReply ReadReply();
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

  std::shared_ptr<CInternetSession::Shared> session_;
  AbortScope scope_;
  ScopedSocket socket_;
  FtpReplyReader reader_;
  bool broken_ = false;
  char transferType_ = 0;  // 0 before the first TYPE
};

}  // namespace net
