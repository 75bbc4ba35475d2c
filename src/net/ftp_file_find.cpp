#include <string>

#include "net/data_transfer.h"
#include "net/ftp_connection_impl.h"
#include "net/internet_error.h"

namespace net {
namespace {

// A listing larger than this is no directory we will walk; it is read no further.
constexpr size_t kMaxListingBytes = 16 * 1024 * 1024;

// Servers differ: an unmatched pattern gives an empty listing, or one of these refusals either
// instead of the listing or after an empty one.
bool MeansNothingMatched(const FtpReply& reply) {
  return reply.code == 450 || reply.code == 550;
}

}  // namespace

CFtpFileFind::CFtpFileFind(CFtpConnection* connection) : connection_(connection) {}

CFtpFileFind::~CFtpFileFind() {
  Close();
}

bool CFtpFileFind::FindFile(const std::string& pattern) {
  Close();
  if (!IsSingleLine(pattern)) {
    return false;
  }
  const std::shared_ptr<FtpControl>& control = connection_->impl().control;
  control->EnsureTransferType('I');  // the listing's bytes as they are, line ends and all
  TransferStart start =
      DataTransfer::Start(control, pattern.empty() ? std::string("LIST") : "LIST " + pattern);
  if (!start.transfer) {
    if (MeansNothingMatched(start.refusal)) {
      return false;
    }
    throw CInternetException(kErrorExtendedError);
  }

  // Parsed as it comes, so memory stays bounded whatever the listing holds.
  ListingReader reader;
  size_t listed = 0;
  char chunk[16 * 1024];
  while (const size_t got = start.transfer->Read(chunk, sizeof chunk)) {
    reader.Feed(std::string_view(chunk, got));
    listed += got;
    if (listed > kMaxListingBytes) {
      throw CInternetException(kErrorConnectionAborted);  // the transfer closes early
    }
  }
  const std::optional<FtpReply>& finalReply = start.transfer->finalReply();
  if (finalReply && MeansNothingMatched(*finalReply)) {
    return false;
  }
  if (!finalReply || finalReply->code >= 400) {
    throw CInternetException(kErrorExtendedError);  // the final reply is the last response
  }
  entries_ = reader.Finish();
  return !entries_.empty();
}

bool CFtpFileFind::FindNextFile() {
  if (next_ >= entries_.size()) {
    return false;
  }
  current_ = next_++;
  haveCurrent_ = true;
  return next_ < entries_.size();
}

std::string CFtpFileFind::GetFileName() const {
  return haveCurrent_ ? entries_[current_].name : std::string();
}

int64_t CFtpFileFind::GetLength() const {
  return haveCurrent_ ? entries_[current_].size : 0;
}

bool CFtpFileFind::IsDirectory() const {
  return haveCurrent_ && entries_[current_].isDirectory;
}

bool CFtpFileFind::IsSymbolicLink() const {
  return haveCurrent_ && entries_[current_].isLink;
}

void CFtpFileFind::Close() {
  entries_.clear();
  next_ = 0;
  current_ = 0;
  haveCurrent_ = false;
}

}  // namespace net
