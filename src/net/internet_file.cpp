#include "net/internet_file_impl.h"

namespace net {

CInternetFile::CInternetFile(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

CInternetFile::~CInternetFile() {
  Close();
}

uint32_t CInternetFile::Read(void* buffer, uint32_t count) {
  return static_cast<uint32_t>(impl_->transfer->Read(buffer, count));
}

uint32_t CInternetFile::ReadAvailable(void* buffer, uint32_t count) {
  return static_cast<uint32_t>(impl_->transfer->ReadAvailable(buffer, count));
}

void CInternetFile::Close(TransferClose how) {
  impl_->transfer->Close(how);
}

}  // namespace net
