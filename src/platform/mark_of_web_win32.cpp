#include <windows.h>

#include "platform/mark_of_web.h"
#include "platform/wide_win32.h"

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

}  // namespace

void MarkAsFromInternet(const std::string& path, const std::string& url) {
  const std::optional<std::wstring> file = WidePath(path);
  if (!file || PolicyKeepsNoZoneInformation()) {
    return;
  }
  const std::wstring stream = *file + L":Zone.Identifier";
  const HANDLE mark = CreateFileW(stream.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (mark == INVALID_HANDLE_VALUE) {
    return;  // a volume without streams
  }
  // As browsers write it: the internet zone (3) and where the file came from.
  const std::string text = "[ZoneTransfer]\r\nZoneId=3\r\nHostUrl=" + url + "\r\n";
  DWORD written = 0;
  WriteFile(mark, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(mark);
}

}  // namespace platform
