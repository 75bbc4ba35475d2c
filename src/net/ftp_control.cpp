#include "net/ftp_control.h"

#include "net/internet_error.h"

namespace net {

bool IsSingleLine(std::string_view text) {
  return text.find_first_of("\r\n") == std::string_view::npos;
}

FtpControl::FtpControl(std::shared_ptr<CInternetSession::Shared> session)
    : session_(std::move(session)), scope_(session_->scope), socket_(scope_) {}

uint32_t FtpControl::connectTimeoutMs() const {
  return session_->connectTimeoutMs.load(std::memory_order_relaxed);
}

uint32_t FtpControl::receiveTimeoutMs() const {
  return session_->receiveTimeoutMs.load(std::memory_order_relaxed);
}

void FtpControl::Connect(const std::string& server, uint16_t port) {
  if (scope_.IsAborted()) {
    throw CInternetException(kErrorOperationCancelled);
  }
  const std::optional<std::string> address = ResolveFirstIPv4(server);
  if (!address) {
    throw CInternetException(kErrorNameNotResolved);
  }
  socket_->Connect(*address, port, connectTimeoutMs());
}

void FtpControl::ThrowBroken() const {
  throw CInternetException(scope_.IsAborted() ? kErrorOperationCancelled : kErrorConnectionAborted);
}

void FtpControl::Send(std::string_view line) {
  if (broken_) {
    ThrowBroken();
  }
  std::string wire(line);
  wire += "\r\n";
  try {
    socket_->SendAll(wire.data(), wire.size(),
                     session_->sendTimeoutMs.load(std::memory_order_relaxed));
  } catch (const CInternetException&) {
    broken_ = true;
    throw;
  }
}

FtpReply FtpControl::ReadReply() {
  for (;;) {
    if (broken_) {
      ThrowBroken();
    }
    if (std::optional<FtpReply> reply = reader_.Next()) {
      SetLastResponseInfo(reply->text);
      return std::move(*reply);
    }
    char buffer[4096];
    size_t received = 0;
    try {
      received = socket_->Receive(buffer, sizeof buffer, receiveTimeoutMs());
    } catch (const CInternetException&) {
      broken_ = true;
      throw;
    }
    // The server closing the control connection, or sending what is no reply, ends the login.
    if (received == 0 || !reader_.Feed(std::string_view(buffer, received))) {
      broken_ = true;
    }
  }
}

void FtpControl::EnsureTransferType(char type) {
  if (transferType_ == type) {
    return;
  }
  if (Exchange(std::string("TYPE ") + type).code >= 400) {
    throw CInternetException(kErrorExtendedError);
  }
  transferType_ = type;
}

FtpReply FtpControl::Exchange(std::string_view line) {
  Send(line);
  return ReadReply();
}

}  // namespace net
