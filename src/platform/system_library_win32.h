#pragma once

#include <windows.h>

namespace platform {

// Users start the program from their Downloads folder, where anything may lie beside it. Windows
// looks in the program's folder first for every DLL that it does not protect as a known DLL, so
// the program imports known DLLs alone and takes everything else from the system folder.

// Restricts every later load in the process, the system's own on the program's behalf included
// (themes, the shell's helpers, COM servers' dependencies), to the system folder. Called first
// thing, before any window, COM or socket. Where SetDefaultDllDirectories is missing (Windows 7
// without its update), at least the current folder leaves the search.
void RestrictDllSearchToSystemFolder();

// A DLL of the system folder that is not a known DLL, loaded from there alone; null when missing.
// Kept loaded for the rest of the process.
HMODULE LoadSystemLibrary(const wchar_t* name);

// A function of kernel32 that older Windows may lack, or null.
FARPROC FindKernelFunction(const char* name);

// A function of a system-folder DLL, or null when the DLL or the function is missing.
template <typename Function>
Function FindSystemFunction(const wchar_t* library, const char* name) {
  const HMODULE module = LoadSystemLibrary(library);
  return module == nullptr ? nullptr
                           : reinterpret_cast<Function>(
                                 reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

template <typename Function>
Function FindKernelFunction(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(FindKernelFunction(name)));
}

}  // namespace platform
