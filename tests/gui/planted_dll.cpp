// A DLL an attacker might leave beside the program: loaded, it leaves NAME.dll.ran beside itself
// (its own path, whatever name it was planted under), so a test sees that its code ran.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    wchar_t path[MAX_PATH + 8];
    const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
      lstrcatW(path, L".ran");
      const HANDLE marker = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
      if (marker != INVALID_HANDLE_VALUE) {
        CloseHandle(marker);
      }
    }
  }
  return TRUE;
}
