#pragma once

#include <memory>

#include "net/ftp_control.h"
#include "net/internet_session.h"

namespace net {

struct CFtpConnection::Impl {
  // Shared with the files open on the connection, which may outlive it.
  std::shared_ptr<FtpControl> control;
};

}  // namespace net
