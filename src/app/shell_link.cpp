#include "app/shell_link.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include "app/com_scope.h"

namespace {

std::string FolderOf(const std::string& path) {
  const size_t separator = path.find_last_of('\\');
  return separator == std::string::npos ? path : path.substr(0, separator);
}

HRESULT SaveLink(IShellLinkA& link, const std::string& linkPath) {
  IPersistFile* file = nullptr;
  HRESULT hr = link.QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  if (FAILED(hr)) {
    return hr;
  }
  WCHAR widePath[MAX_PATH] = {};
  if (MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, widePath, MAX_PATH) == 0) {
    // Too long for the buffer: saving under a cut name would put the link somewhere else.
    hr = HRESULT_FROM_WIN32(GetLastError());
  } else {
    hr = file->Save(widePath, TRUE);
  }
  file->Release();
  return hr;
}

}  // namespace

HRESULT CreateShortcut(const std::string& targetPath, const std::string& linkPath,
                       const std::string& description) {
  const ScopedComInit com;
  IShellLinkA* link = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link));
  if (FAILED(hr)) {
    return hr;
  }
  // A link missing a field is not saved: it would stand in the way of the next start's try.
  hr = link->SetPath(targetPath.c_str());
  if (SUCCEEDED(hr)) {
    hr = link->SetWorkingDirectory(FolderOf(targetPath).c_str());
  }
  if (SUCCEEDED(hr)) {
    hr = link->SetDescription(description.c_str());
  }
  if (SUCCEEDED(hr)) {
    hr = SaveLink(*link, linkPath);
  }
  link->Release();
  return hr;
}
