#include "net/ftp_login.h"

#include "net/internet_error.h"

namespace net {
namespace {

constexpr int kNotLoggedIn = 530;
// The conventional password of an anonymous login: an e-mail address without a host.
constexpr const char* kAnonymousPassword = "guest@";

bool IsAnonymous(const std::string& user) {
  static constexpr char kAnonymous[] = "anonymous";
  if (user.size() != sizeof kAnonymous - 1) {
    return false;
  }
  for (size_t i = 0; i < user.size(); ++i) {
    const char c = user[i];
    if ((c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) != kAnonymous[i]) {
      return false;
    }
  }
  return true;
}

[[noreturn]] void ThrowRefusal(uint32_t error) {
  CInternetException refusal(error);
  refusal.m_bLoginRefused = true;
  throw refusal;
}

FtpReply ReadGreeting(FtpControl& control) {
  try {
    // "120 ready in a while" may come before the 220.
    return control.ReadFinalReply();
  } catch (CInternetException& error) {
    // A server at its limit of connections may close at once instead of answering.
    error.m_bLoginRefused =
        error.m_dwError == kErrorConnectionAborted || error.m_dwError == kErrorConnectionReset;
    throw;
  }
}

}  // namespace

void LogIn(FtpControl& control, const std::string& user, const std::string& password) {
  const FtpReply greeting = ReadGreeting(control);
  if (greeting.code != 220) {
    ThrowRefusal(kErrorExtendedError);
  }

  const std::string name = user.empty() ? "anonymous" : user;
  if (!IsSingleLine(name)) {
    throw CInternetException(kErrorIncorrectUserName);
  }
  FtpReply reply = control.Exchange("USER " + name);
  if (reply.code == 331) {
    const std::string secret =
        password.empty() && IsAnonymous(name) ? kAnonymousPassword : password;
    if (!IsSingleLine(secret)) {
      throw CInternetException(kErrorIncorrectPassword);
    }
    reply = control.Exchange("PASS " + secret);
  }
  if (reply.code < 200 || reply.code >= 300) {
    ThrowRefusal(reply.code == kNotLoggedIn ? kErrorIncorrectPassword : kErrorExtendedError);
  }

  control.EnsureTransferType('I');
}

}  // namespace net
