#pragma once

#include <cstdint>
#include <string>

#include "platform/message_target.h"

// Bytes in every segment but the last, and in each worker's segment buffer.
constexpr int32_t SEGMENT_SIZE = 0x180000;

// The decimal digits of a non-negative number with "," between groups of three. The text lives
// in one static buffer that the next call overwrites.
const char* FormatThousands(int32_t value);

// The text with each control character (line ends, tabs, escapes, DEL) turned into a space, so
// that a server's reply shows as one line of what it says and steers nothing on the screen.
std::string SingleLineText(std::string text);

using platform::PumpMessages;
using platform::WaitWithPump;
