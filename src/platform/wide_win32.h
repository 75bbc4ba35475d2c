#pragma once

// Conversions at the Windows boundary: the program's UTF-8 to the W calls' UTF-16 and back.

#include <optional>
#include <string>

#include "platform/utf.h"

namespace platform {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

// A path for a W call; nothing when the text cannot name one file exactly.
inline std::optional<std::wstring> WidePath(const std::string& utf8) {
  const std::optional<std::u16string> wide = Utf16FromUtf8(utf8);
  if (!wide) {
    return std::nullopt;
  }
  return std::wstring(wide->begin(), wide->end());
}

// A path a W call gave; nothing when it holds a lone surrogate, which UTF-8 cannot carry.
inline std::optional<std::string> Utf8Path(const std::wstring& wide) {
  return Utf8FromUtf16(std::u16string(wide.begin(), wide.end()));
}

// Text to be shown, not to name a file.
inline std::wstring WideText(const std::string& utf8) {
  const std::u16string wide = Utf16ForDisplay(utf8);
  return std::wstring(wide.begin(), wide.end());
}

inline std::string Utf8Text(const std::wstring& wide) {
  return Utf8ForDisplay(std::u16string(wide.begin(), wide.end()));
}

}  // namespace platform
