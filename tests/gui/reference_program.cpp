// A program that does right what the downloader does about DLLs, and nothing else: it imports
// what the downloader imports (known DLLs, and comctl32 6 by the same manifest), restricts the
// DLL search to the system folder first thing, and shows a window. Whatever a planted DLL does
// to it is Wine's doing: Wine has no known DLLs, and its own DLLs take some names (version,
// uxtheme) from the program's folder whatever the program asked.
#include <winsock2.h>

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include "platform/system_library_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  platform::RestrictDllSearchToSystemFolder();
  // Referenced, never called: the linker imports each DLL for its function.
  static const void* volatile imports[] = {reinterpret_cast<const void*>(&RegCloseKey),
                                           reinterpret_cast<const void*>(&InitCommonControls),
                                           reinterpret_cast<const void*>(&GetStockObject),
                                           reinterpret_cast<const void*>(&CoTaskMemFree),
                                           reinterpret_cast<const void*>(&SHGetFolderPathW),
                                           reinterpret_cast<const void*>(&WSAGetLastError)};
  (void)imports;
  const HWND window = CreateWindowExW(0, L"BUTTON", L"Reference", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                      0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    DispatchMessageW(&message);
  }
  DestroyWindow(window);
  return 0;
}
