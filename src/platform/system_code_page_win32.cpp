#include <windows.h>

#include <algorithm>

#include "platform/system_code_page.h"
#include "platform/wide_win32.h"

namespace platform {

namespace {

std::optional<std::wstring> WideFromCodePage(const std::string& bytes) {
  if (bytes.empty()) {
    return std::wstring();
  }
  const int size = static_cast<int>(bytes.size());
  const int length =
      MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (length <= 0) {
    return std::nullopt;
  }
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, &wide[0], length);
  return wide;
}

}  // namespace

std::optional<std::string> Utf8FromSystemCodePage(const std::string& bytes) {
  const std::optional<std::wstring> wide = WideFromCodePage(bytes);
  return wide ? Utf8Path(*wide) : std::nullopt;
}

std::optional<std::string> SystemCodePageFromUtf8(const std::string& utf8) {
  // Every ANSI code page holds ASCII byte for byte, also a UTF-8 one, which refuses the flags
  // below.
  if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return (c & 0x80) == 0; })) {
    return utf8;
  }
  const std::optional<std::wstring> wide = WidePath(utf8);
  if (!wide) {
    return std::nullopt;
  }
  const int size = static_cast<int>(wide->size());
  // Best-fit would turn "Ł" into "L"; the default character into "?". Either names another
  // file.
  BOOL usedDefault = FALSE;
  const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide->data(), size, nullptr,
                                         0, nullptr, &usedDefault);
  if (length <= 0 || usedDefault) {
    return std::nullopt;
  }
  std::string bytes(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide->data(), size, &bytes[0], length, nullptr,
                      &usedDefault);
  // Some code pages map several characters to one byte sequence; only a round trip is proof.
  if (usedDefault || WideFromCodePage(bytes) != wide) {
    return std::nullopt;
  }
  return bytes;
}

}  // namespace platform
