#pragma once

#include <cstdint>

#include "platform/message_target.h"

// Bytes in every segment but the last, and in each worker's segment buffer.
constexpr int32_t SEGMENT_SIZE = 0x180000;

// The decimal digits of a non-negative number with "," between groups of three. The text lives
// in one static buffer that the next call overwrites.
const char* FormatThousands(int32_t value);

using platform::PumpMessages;
using platform::WaitWithPump;
