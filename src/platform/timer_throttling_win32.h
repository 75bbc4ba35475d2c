#pragma once

#include <windows.h>

namespace platform {

// SetProcessInformation, which Windows 7 lacks: looked up at run time.
using SetProcessInformationCall = BOOL(WINAPI*)(HANDLE, PROCESS_INFORMATION_CLASS, LPVOID, DWORD);

SetProcessInformationCall FindSetProcessInformation();

// Windows 11 may ignore a raised timer resolution for a process whose windows are all hidden or
// minimised, which is just when the user has sent the window to the notification area: each
// 1 ms sleep would then last a whole tick again. This tells Windows that the process needs its
// resolution whatever its windows show. False where the call is missing or refuses the request
// (Windows 7, Windows 10, Wine), where the raised resolution holds anyway.
bool KeepTimerResolutionWhenHidden(SetProcessInformationCall setProcessInformation);

}  // namespace platform
