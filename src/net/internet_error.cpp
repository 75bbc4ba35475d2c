#include "net/internet_error.h"

namespace net {

std::string InternetErrorMessage(uint32_t error) {
  switch (error) {
    case kErrorTimeout:
      return "The operation timed out";
    case kErrorExtendedError:
      return "The server returned extended information";
    case kErrorNameNotResolved:
      return "The server name or address could not be resolved";
    case kErrorIncorrectUserName:
      return "The user name was not allowed";
    case kErrorIncorrectPassword:
      return "The password was not allowed";
    case kErrorOperationCancelled:
      return "The operation has been canceled";
    case kErrorCannotConnect:
      return "A connection with the server could not be established";
    case kErrorConnectionAborted:
      return "The connection with the server was terminated abnormally";
    case kErrorConnectionReset:
      return "The connection with the server was reset";
    default:
      return "Internet error " + std::to_string(error);
  }
}

CInternetException::CInternetException(uint32_t error)
    : m_dwError(error), message_(InternetErrorMessage(error)) {}

namespace {
// Each worker thread reads the reply of its own last command, as with the platform's call.
thread_local std::string lastResponse;
}  // namespace

std::string InternetGetLastResponseInfo() {
  return lastResponse;
}

void SetLastResponseInfo(const std::string& reply) {
  lastResponse = reply;
}

}  // namespace net
