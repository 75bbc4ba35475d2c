// Stands in for the browser in the link label's tests: appends its own command line, as one
// line, to the file that MORAVENT_RECORD_FILE names.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH] = {};
  if (GetEnvironmentVariableA("MORAVENT_RECORD_FILE", path, MAX_PATH) == 0) {
    return 1;
  }
  const HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return 1;
  }
  // In UTF-8, whatever the ANSI code page holds. One write, so a reader sees the line whole or
  // not at all.
  const wchar_t* commandLine = GetCommandLineW();
  std::string line(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, nullptr, 0,
                                                           nullptr, nullptr)),
                   '\0');
  WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, &line[0], static_cast<int>(line.size()), nullptr,
                      nullptr);
  line.back() = '\n';
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}
