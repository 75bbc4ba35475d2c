#include "platform/system_library_win32.h"

#include <string>

namespace platform {

FARPROC FindKernelFunction(const char* name) {
  return GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name);
}

void RestrictDllSearchToSystemFolder() {
  using SetDefaultDllDirectoriesCall = BOOL(WINAPI*)(DWORD);
  const auto setDefaultDllDirectories =
      FindKernelFunction<SetDefaultDllDirectoriesCall>("SetDefaultDllDirectories");
  if (setDefaultDllDirectories != nullptr &&
      setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    return;
  }
  SetDllDirectoryW(L"");
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
  if (const HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    return module;
  }
  // Windows without the search flags refuses them: the full path then names the one file, and
  // the altered search takes the DLL's own dependencies from the system folder too.
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return nullptr;
  }
  const std::wstring path = std::wstring(folder, length) + L"\\" + name;
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace platform
