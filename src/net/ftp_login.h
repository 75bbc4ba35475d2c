#pragma once

#include <string>

#include "net/ftp_control.h"

namespace net {

// Reads the greeting, logs in (empty user: anonymous) and switches to binary type. Throws
// CInternetException: kErrorIncorrectPassword when the server refuses the login,
// kErrorExtendedError for any other refusal.
void LogIn(FtpControl& control, const std::string& user, const std::string& password);

}  // namespace net
