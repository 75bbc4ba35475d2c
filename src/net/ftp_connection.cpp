#include "net/ftp_connection_impl.h"
#include "net/internet_file_impl.h"

namespace net {
namespace {

// The caller's own line end is dropped: the command goes out with exactly one CRLF.
std::string_view WithoutLineEnd(std::string_view text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) {
    text.remove_suffix(1);
  }
  return text;
}

}  // namespace

CFtpConnection::CFtpConnection(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

// Like the platform's connection handle, closing it breaks the files open on it.
CFtpConnection::~CFtpConnection() {
  Close();
}

bool CFtpConnection::SetCurrentDirectory(const std::string& directory) {
  if (!IsSingleLine(directory)) {
    return false;
  }
  return impl_->control->Exchange("CWD " + directory).code < 400;
}

bool CFtpConnection::Command(const std::string& text) {
  const std::string_view line = WithoutLineEnd(text);
  if (line.empty() || !IsSingleLine(line)) {
    return false;
  }
  return impl_->control->Exchange(line).code < 400;
}

std::optional<int64_t> CFtpConnection::GetFileSize(const std::string& name) {
  if (!IsSingleLine(name)) {
    return std::nullopt;
  }
  // In ASCII type a size would count converted line ends, and some servers refuse to give one.
  impl_->control->EnsureTransferType('I');
  return ParseSizeReply(impl_->control->Exchange("SIZE " + name));
}

std::optional<std::string> CFtpConnection::GetFileTime(const std::string& name) {
  if (!IsSingleLine(name)) {
    return std::nullopt;
  }
  return ParseModificationTimeReply(impl_->control->Exchange("MDTM " + name));
}

CInternetFile* CFtpConnection::OpenFile(const std::string& path, uint32_t transferType) {
  if (!IsSingleLine(path)) {
    return nullptr;
  }
  impl_->control->EnsureTransferType(transferType == FTP_TRANSFER_TYPE_ASCII ? 'A' : 'I');
  TransferStart start = DataTransfer::Start(impl_->control, "RETR " + path);
  if (!start.transfer) {
    throw CInternetException(kErrorExtendedError);  // the refusal is the last response
  }
  auto file = std::make_unique<CInternetFile::Impl>();
  file->transfer = std::move(start.transfer);
  return new CInternetFile(std::move(file));
}

void CFtpConnection::Close() {
  impl_->control->Abort();
}

}  // namespace net
