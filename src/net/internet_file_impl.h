#pragma once

#include <memory>

#include "net/data_transfer.h"
#include "net/internet_session.h"

namespace net {

struct CInternetFile::Impl {
  std::unique_ptr<DataTransfer> transfer;
};

}  // namespace net
