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

[[noreturn]] void ThrowRefusal(const FtpReply& reply) {
  throw CInternetException(reply.code == kNotLoggedIn ? kErrorIncorrectPassword
                                                      : kErrorExtendedError);
}

}  // namespace

void LogIn(FtpControl& control, const std::string& user, const std::string& password) {
  // "120 ready in a while" may come before the 220.
  const FtpReply greeting = control.ReadFinalReply();
  if (greeting.code != 220) {
    throw CInternetException(kErrorExtendedError);
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
    ThrowRefusal(reply);
  }

  control.EnsureTransferType('I');
}

}  // namespace net
