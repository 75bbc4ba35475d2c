#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "net/abort_scope.h"
#include "net/ftp_control.h"
#include "net/internet_session.h"

namespace net {

class DataTransfer;

// A transfer command's outcome: the open transfer, or the server's refusal.
struct TransferStart {
  std::unique_ptr<DataTransfer> transfer;
  FtpReply refusal;  // when there is no transfer
};

// One passive-mode transfer (RETR, LIST): its data connection and its final reply on the
// control connection. Belongs to one thread; FtpControl::Abort breaks it from another.
class DataTransfer {
 public:
  // Sends PASV, connects the data connection and sends command. Throws CInternetException on
  // network failures and when PASV is refused (kErrorExtendedError).
  static TransferStart Start(const std::shared_ptr<FtpControl>& control,
                             const std::string& command);
  ~DataTransfer();
  DataTransfer(const DataTransfer&) = delete;
  DataTransfer& operator=(const DataTransfer&) = delete;

  // Up to count bytes, fewer only at the end of the data, 0 once it has ended. At the end it
  // reads the final reply; if that fails after some bytes, the bytes are returned and the next
  // call throws. A failed read leaves the control connection broken.
  size_t Read(void* buffer, size_t count);
  // As Read, but returns as soon as some bytes have come, without waiting to fill count: a
  // fast line's reads can then be large without making a slow line's reader wait for them.
  size_t ReadAvailable(void* buffer, size_t count);
  // Ends the transfer, early if need be, and reads its final reply (and with Abort, ABOR's too);
  // never throws. If no final reply comes, the control connection is marked broken.
  void Close(TransferClose how = TransferClose::AwaitReply);
  // The reply that ended the transfer, once read.
  const std::optional<FtpReply>& finalReply() const { return finalReply_; }

 private:
  explicit DataTransfer(std::shared_ptr<FtpControl> control);
  size_t Receive(void* buffer, size_t count, bool fill);
  void ReadFinalReply();
  // Drops the transfer without its final reply; the control connection is out of step then.
  void Abandon();

  std::shared_ptr<FtpControl> control_;
  std::optional<ScopedSocket> data_;  // empty once closed
  std::optional<FtpReply> finalReply_;
  // Set once the server has begun the transfer (1xx), until its final reply has been read.
  bool awaitingFinalReply_ = false;
  uint32_t deferredError_ = 0;
};

}  // namespace net
