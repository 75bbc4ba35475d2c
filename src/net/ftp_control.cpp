#include "net/ftp_control.h"

#include <algorithm>

#include "net/internet_error.h"

namespace net {
namespace {

uint32_t MillisecondsUntil(FtpControl::Deadline deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<uint32_t>(std::min<int64_t>(left.count(), UINT32_MAX)) : 0;
}

}  // namespace

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

void FtpControl::ThrowTimedOut() {
  broken_ = true;  // the rest of the reply may still come, out of step with the next command
  throw CInternetException(scope_.IsAborted() ? kErrorOperationCancelled : kErrorTimeout);
}

FtpReply FtpControl::ReadReply(std::optional<Deadline> until) {
  std::optional<Deadline> replyEnd;  // set once the reply's first byte has come
  for (;;) {
    if (broken_) {
      ThrowBroken();
    }
    if (std::optional<FtpReply> reply = reader_.Next()) {
      SetLastResponseInfo(reply->text);
      return std::move(*reply);
    }
    uint32_t waitMs = receiveTimeoutMs();
    for (const std::optional<Deadline>& limit : {until, replyEnd}) {
      if (limit) {
        waitMs = std::min(waitMs, MillisecondsUntil(*limit));
        if (waitMs == 0) {
          ThrowTimedOut();
        }
      }
    }
    char buffer[4096];
    size_t received = 0;
    try {
      received = socket_->Receive(buffer, sizeof buffer, waitMs);
    } catch (const CInternetException&) {
      broken_ = true;
      throw;
    }
    if (!replyEnd) {
      replyEnd = std::chrono::steady_clock::now() + std::chrono::milliseconds(receiveTimeoutMs());
    }
    // The server closing the control connection, or sending what is no reply, ends the login.
    if (received == 0 || !reader_.Feed(std::string_view(buffer, received))) {
      broken_ = true;
    }
  }
}

FtpReply FtpControl::ReadFinalReply(std::optional<Deadline> until) {
  PreliminaryReplyLimit limit;
  for (;;) {
    FtpReply reply = ReadReply(until);
    if (limit.IsFinal(reply)) {
      return reply;
    }
    if (limit.exceeded()) {
      ThrowTimedOut();
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
