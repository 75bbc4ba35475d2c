#pragma once

#include <windows.h>

#include "platform/event.h"

namespace platform {

struct Event::Impl {
  HANDLE handle = nullptr;
};

}  // namespace platform
