#include "net/internet_session.h"

#include "net/ftp_connection_impl.h"
#include "net/ftp_login.h"
#include "net/session_shared.h"

namespace net {

CInternetSession::CInternetSession() : shared_(std::make_shared<Shared>()) {}

// Like the platform's session handle, closing the session closes the connections made from it.
CInternetSession::~CInternetSession() {
  Close();
}

void CInternetSession::SetOption(SessionOption option, uint32_t milliseconds) {
  switch (option) {
    case SessionOption::ConnectTimeout:
      shared_->connectTimeoutMs.store(milliseconds, std::memory_order_relaxed);
      break;
    case SessionOption::ReceiveTimeout:
      shared_->receiveTimeoutMs.store(milliseconds, std::memory_order_relaxed);
      break;
    case SessionOption::SendTimeout:
      shared_->sendTimeoutMs.store(milliseconds, std::memory_order_relaxed);
      break;
  }
}

uint32_t CInternetSession::GetOption(SessionOption option) const {
  switch (option) {
    case SessionOption::ConnectTimeout:
      return shared_->connectTimeoutMs.load(std::memory_order_relaxed);
    case SessionOption::ReceiveTimeout:
      return shared_->receiveTimeoutMs.load(std::memory_order_relaxed);
    case SessionOption::SendTimeout:
      return shared_->sendTimeoutMs.load(std::memory_order_relaxed);
  }
  return 0;
}

CFtpConnection* CInternetSession::GetFtpConnection(const std::string& server,
                                                   const std::string& user,
                                                   const std::string& password, uint16_t port,
                                                   bool /*passive: always passive*/) {
  // The control connection joins the session's scope before it connects, so that Close breaks
  // a login under way too; after Close it is aborted as it joins.
  auto control = std::make_shared<FtpControl>(shared_);
  control->Connect(server, port);
  LogIn(*control, user, password);
  auto impl = std::make_unique<CFtpConnection::Impl>();
  impl->control = std::move(control);
  return new CFtpConnection(std::move(impl));
}

void CInternetSession::Close() {
  shared_->scope.Abort();
}

}  // namespace net
