// Opening the link label's address, and the words for a failure.
#include <windows.h>

#include <shellapi.h>
#include <wchar.h>

#include <optional>
#include <string>

#include "controls/link_label.h"
#include "framework/win_app.h"
#include "platform/wide_win32.h"

namespace {

// The fallback's command line is built in a buffer of this many characters (its terminator
// included); the registry value read into it is at most kRegistryValueChars characters.
constexpr size_t kCommandLineCapacity = 520;
constexpr size_t kRegistryValueChars = 260;
// WinExec's answer for a program started: any value above 31.
constexpr int kStarted = 33;

struct OpenError {
  int code;
  const char* text;
};

constexpr OpenError kOpenErrors[] = {
    {0, "The operating system is out\nof memory or resources."},
    {SE_ERR_FNF, "The specified file was not found."},
    {SE_ERR_PNF, "The specified path was not found."},
    {SE_ERR_ACCESSDENIED, "The operating system denied\naccess to the specified file."},
    {SE_ERR_OOM, "There was not enough memory to complete the operation."},
    {ERROR_BAD_FORMAT, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
    {SE_ERR_SHARE, "A sharing violation occurred. "},
    {SE_ERR_ASSOCINCOMPLETE, "The filename association is\nincomplete or invalid."},
    {SE_ERR_DDETIMEOUT,
     "The DDE transaction could not\nbe completed because the request timed out."},
    {SE_ERR_DDEFAIL, "The DDE transaction failed."},
    {SE_ERR_DDEBUSY,
     "The DDE transaction could not\nbe completed because other DDE transactions\nwere being "
     "processed."},
    {SE_ERR_NOASSOC, "There is no application associated\nwith the given filename extension."},
    {SE_ERR_DLLNOTFOUND, "The specified dynamic-link library was not found."},
};

// Runs the command line as WinExec does, with WinExec's results. WinExec has no UTF-16 form, and
// through the ANSI code page a browser installed in the user's profile would be looked for
// under a best-fit name: another user's folder, perhaps.
int RunCommandLine(const std::string& commandLine, int showCommand) {
  std::optional<std::wstring> wide = platform::WidePath(commandLine);
  if (!wide) {
    return ERROR_FILE_NOT_FOUND;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, &(*wide)[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
      return static_cast<int>(error);
    }
    return error == ERROR_BAD_EXE_FORMAT ? ERROR_BAD_FORMAT : 0;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return kStarted;
}

}  // namespace

int CLinkLabel::OpenTarget(const std::string& address, int showCommand) {
  const std::wstring wideAddress = platform::WideText(address);
  const auto opened = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", wideAddress.c_str(), nullptr, nullptr, showCommand));
  const int result = static_cast<int>(opened);
  if (opened > 32) {
    return result;
  }
  // The shell could not: run the browser registered for web pages with the address.
  std::string htmlClass;
  std::string command;
  if (ReadRegistryDefault(HKEY_CLASSES_ROOT, ".htm", htmlClass) != ERROR_SUCCESS ||
      ReadRegistryDefault(HKEY_CLASSES_ROOT, htmlClass + "\\shell\\open\\command", command) !=
          ERROR_SUCCESS) {
    return result;
  }
  // The address goes where the placeholder stood; whatever followed it is dropped.
  size_t placeholder = command.find("\"%1\"");
  if (placeholder == std::string::npos) {
    placeholder = command.find("%1");
  }
  if (placeholder != std::string::npos) {
    command.erase(placeholder);
  }
  // A command line that would not fit is refused rather than cut: cut, it could run something
  // else than the browser, or open another address.
  if (platform::WideText(command).size() + 1 + platform::WideText(address).size() >=
      kCommandLineCapacity) {
    return SE_ERR_OOM;
  }
  command += ' ';
  command += address;
  return RunCommandLine(command, showCommand);
}

LONG CLinkLabel::ReadRegistryDefault(HKEY root, const std::string& subkey, std::string& output) {
  HKEY key = nullptr;
  LONG error = RegOpenKeyExW(root, platform::WideText(subkey).c_str(), 0, KEY_QUERY_VALUE, &key);
  if (error != ERROR_SUCCESS) {
    return error;
  }
  wchar_t value[kRegistryValueChars] = {};
  LONG size = sizeof(value);
  error = RegQueryValueW(key, nullptr, value, &size);
  RegCloseKey(key);
  if (error != ERROR_SUCCESS) {
    // A value that could not be read (too long, among others) is no text at all.
    return error;
  }
  // A program path with a lone surrogate has no UTF-8 form to run it by.
  const std::optional<std::string> text =
      platform::Utf8Path(std::wstring(value, wcsnlen(value, kRegistryValueChars)));
  if (!text) {
    return ERROR_INVALID_DATA;
  }
  output = *text;
  return ERROR_SUCCESS;
}

std::string CLinkLabel::OpenErrorText(int code) {
  std::string text = "Unable to open hyperlink:\n\n";
  for (const OpenError& error : kOpenErrors) {
    if (error.code == code) {
      return text + error.text;
    }
  }
  return text + "Unknown Error (" + std::to_string(code) + ") occurred.";
}

void CLinkLabel::ShowOpenError(int code) {
  AfxMessageBox(OpenErrorText(code).c_str(), MB_ICONEXCLAMATION | MB_OK);
}
