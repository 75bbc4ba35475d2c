// Opening the link label's address, and the words for a failure.
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "controls/link_label.h"
#include "framework/win_app.h"

namespace {

// The fallback's command line is built in a buffer of this many characters (its terminator
// included); the registry value read into it is at most kRegistryValueSize bytes.
constexpr size_t kCommandLineCapacity = 520;
constexpr DWORD kRegistryValueSize = 260;

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

}  // namespace

int CLinkLabel::OpenTarget(const std::string& address, int showCommand) {
  const auto opened = reinterpret_cast<INT_PTR>(
      ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, showCommand));
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
  if (command.size() + 1 + address.size() >= kCommandLineCapacity) {
    return SE_ERR_OOM;
  }
  command += ' ';
  command += address;
  return static_cast<int>(WinExec(command.c_str(), static_cast<UINT>(showCommand)));
}

LONG CLinkLabel::ReadRegistryDefault(HKEY root, const std::string& subkey, std::string& output) {
  HKEY key = nullptr;
  LONG error = RegOpenKeyExA(root, subkey.c_str(), 0, KEY_QUERY_VALUE, &key);
  if (error != ERROR_SUCCESS) {
    return error;
  }
  char value[kRegistryValueSize] = {};
  LONG size = sizeof(value);
  error = RegQueryValueA(key, nullptr, value, &size);
  RegCloseKey(key);
  // A value that could not be read (too long, among others) is no text at all.
  if (error == ERROR_SUCCESS) {
    output.assign(value, strnlen(value, sizeof(value)));
  }
  return error;
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
