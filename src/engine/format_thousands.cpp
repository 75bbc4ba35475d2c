#include <cstdint>

#include "engine/helpers.h"

const char* FormatThousands(int32_t value) {
  // Sign, ten digits and three separators of INT32_MIN, and the terminator.
  static char text[16];
  char* end = text + sizeof(text) - 1;
  char* cursor = end;
  *cursor = '\0';
  // Widened so that the magnitude of INT32_MIN fits; callers pass no negative number, but one
  // must not read outside the buffer.
  int64_t magnitude = value < 0 ? -static_cast<int64_t>(value) : value;
  int digits = 0;
  do {
    if (digits > 0 && digits % 3 == 0) {
      *--cursor = ',';
    }
    *--cursor = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
    ++digits;
  } while (magnitude > 0);
  if (value < 0) {
    *--cursor = '-';
  }
  return cursor;
}
