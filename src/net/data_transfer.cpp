#include "net/data_transfer.h"

#include "net/internet_error.h"

namespace net {
namespace {

bool IsPreliminary(const FtpReply& reply) {
  return reply.code < 200;
}

}  // namespace

DataTransfer::DataTransfer(std::shared_ptr<FtpControl> control) : control_(std::move(control)) {
  data_.emplace(control_->scope());
}

DataTransfer::~DataTransfer() {
  Close();
}

TransferStart DataTransfer::Start(const std::shared_ptr<FtpControl>& control,
                                  const std::string& command) {
  const FtpReply pasv = control->Exchange("PASV");
  const std::optional<uint16_t> port = pasv.code == 227 ? ParsePasvPort(pasv.text) : std::nullopt;
  if (!port) {
    throw CInternetException(kErrorExtendedError);
  }
  // Only to the server we logged in to, whatever host the reply names: otherwise a hostile
  // server, or anyone who can alter the plain-text control connection, could make us connect
  // anywhere in the user's network and store the answer as the installer.
  std::unique_ptr<DataTransfer> transfer(new DataTransfer(control));
  (*transfer->data_)->Connect(control->PeerAddress(), *port, control->connectTimeoutMs());
  FtpReply reply = control->Exchange(command);
  if (reply.code >= 300) {
    return TransferStart{nullptr, std::move(reply)};
  }
  if (IsPreliminary(reply)) {
    transfer->awaitingFinalReply_ = true;
  } else {
    // Done already: the data waits on the data connection and no final reply follows.
    transfer->finalReply_ = std::move(reply);
  }
  return TransferStart{std::move(transfer), FtpReply{}};
}

size_t DataTransfer::Read(void* buffer, size_t count) {
  return Receive(buffer, count, true);
}

size_t DataTransfer::ReadAvailable(void* buffer, size_t count) {
  return Receive(buffer, count, false);
}

size_t DataTransfer::Receive(void* buffer, size_t count, bool fill) {
  if (deferredError_ != 0) {
    throw CInternetException(deferredError_);
  }
  auto* bytes = static_cast<unsigned char*>(buffer);
  size_t got = 0;
  while (data_ && got < count) {
    size_t received = 0;
    try {
      received = (*data_)->Receive(bytes + got, count - got, control_->receiveTimeoutMs());
    } catch (const CInternetException&) {
      // The transfer is lost; waiting for its final reply as well would only delay the failure.
      Abandon();
      throw;
    }
    if (received == 0) {
      data_.reset();
      break;
    }
    got += received;
    if (!fill) {
      break;
    }
  }
  if (!data_ && awaitingFinalReply_) {
    try {
      ReadFinalReply();
    } catch (const CInternetException& error) {
      if (got == 0) {
        throw;
      }
      deferredError_ = error.m_dwError;
    }
  }
  return got;
}

void DataTransfer::ReadFinalReply() {
  awaitingFinalReply_ = false;
  // The transfer itself may take long (data that keeps coming is progress); its final reply
  // must follow the end of the data within the receive time-out.
  finalReply_ = control_->ReadFinalReply(std::chrono::steady_clock::now() +
                                         std::chrono::milliseconds(control_->receiveTimeoutMs()));
}

void DataTransfer::Abandon() {
  data_.reset();
  awaitingFinalReply_ = false;
  control_->MarkBroken();
}

void DataTransfer::Close(TransferClose how) {
  const bool abort = how == TransferClose::Abort;
  data_.reset();
  if (!awaitingFinalReply_) {
    return;  // nothing runs any more: there is nothing to abort either
  }
  try {
    if (abort) {
      control_->Send("ABOR");
    }
    ReadFinalReply();
    if (abort) {
      // Every server answers ABOR once more after the transfer's own reply, whether the
      // transfer had ended already (226, then 225 or 226) or is ended by it (426, then 226).
      control_->ReadReply(std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(control_->receiveTimeoutMs()));
    }
  } catch (const CInternetException&) {
    control_->MarkBroken();
  }
}

}  // namespace net
