#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace net {

// The platform Internet client's error codes that this layer raises.
enum InternetError : uint32_t {
  kErrorTimeout = 12002,
  kErrorExtendedError = 12003,  // the server refused; its reply is the last response
  kErrorNameNotResolved = 12007,
  kErrorIncorrectUserName = 12013,
  kErrorIncorrectPassword = 12014,   // login refused
  kErrorOperationCancelled = 12017,  // the handle was closed under the call
  kErrorCannotConnect = 12029,
  kErrorConnectionAborted = 12030,
  kErrorConnectionReset = 12031,
};

// The platform's message text for an error code.
std::string InternetErrorMessage(uint32_t error);

class CInternetException : public std::exception {
 public:
  explicit CInternetException(uint32_t error);
  const char* what() const noexcept override { return message_.c_str(); }
  std::string GetErrorMessage() const { return message_; }

  uint32_t m_dwError;
  // The server turned the login away: a greeting other than 220 (such as 421 for too many
  // connections), a refusal of USER or PASS, or the connection closed before any greeting.
  bool m_bLoginRefused = false;

 private:
  std::string message_;
};

// The text of the last server reply seen on the calling thread, all its lines, like the
// platform's InternetGetLastResponseInfo. Empty when none.
std::string InternetGetLastResponseInfo();
void SetLastResponseInfo(const std::string& reply);

}  // namespace net
