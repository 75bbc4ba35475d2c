#include <windows.h>

#include "platform/mark_of_web.h"

namespace platform {

namespace {

// "Do not preserve zone information in file attachments": 1 in either policy key means that the
// administrator wants no marks.
bool PolicyKeepsNoZoneInformation() {
  constexpr wchar_t kKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Attachments";
  for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegGetValueW(root, kKey, L"SaveZoneInformation", RRF_RT_REG_DWORD, nullptr, &value,
                     &size) == ERROR_SUCCESS &&
        value == 1) {
      return true;
    }
  }
  return false;
}

// UTF-8 to UTF-16, failing on anything that is not exact.
bool ToWide(const std::string& text, std::wstring& wide) {
  const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                         static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) {
    return false;
  }
  wide.resize(static_cast<size_t>(length));
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                             static_cast<int>(text.size()), wide.data(), length) == length;
}

}  // namespace

void MarkAsFromInternet(const std::string& path, const std::string& url) {
  std::wstring stream;
  if (!ToWide(path, stream) || PolicyKeepsNoZoneInformation()) {
    return;
  }
  stream += L":Zone.Identifier";
  const HANDLE file = CreateFileW(stream.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return;  // a volume without streams
  }
  // As browsers write it: the internet zone (3) and where the file came from.
  const std::string text = "[ZoneTransfer]\r\nZoneId=3\r\nHostUrl=" + url + "\r\n";
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

}  // namespace platform
