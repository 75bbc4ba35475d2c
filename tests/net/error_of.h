#pragma once

#include <cstdint>
#include <functional>

#include "net/internet_error.h"

namespace net {

// The error code a call raises, or 0 when it raises nothing.
inline uint32_t ErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const CInternetException& error) {
    return error.m_dwError;
  }
  return 0;
}

}  // namespace net
