#include "app/shell_link.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <optional>

#include "app/com_scope.h"
#include "platform/wide_win32.h"

namespace {

std::string FolderOf(const std::string& path) {
  const size_t separator = path.find_last_of('\\');
  return separator == std::string::npos ? path : path.substr(0, separator);
}

// A path that cannot be carried over exactly fails the step: a link to or at another path is
// no link at all.
HRESULT SetPathField(IShellLinkW& link, HRESULT (STDMETHODCALLTYPE IShellLinkW::*set)(LPCWSTR),
                     const std::string& path) {
  const std::optional<std::wstring> widePath = platform::WidePath(path);
  return widePath ? (link.*set)(widePath->c_str()) : E_INVALIDARG;
}

HRESULT SaveLink(IShellLinkW& link, const std::string& linkPath) {
  const std::optional<std::wstring> widePath = platform::WidePath(linkPath);
  if (!widePath) {
    return E_INVALIDARG;
  }
  IPersistFile* file = nullptr;
  HRESULT hr = link.QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  if (FAILED(hr)) {
    return hr;
  }
  hr = file->Save(widePath->c_str(), TRUE);
  file->Release();
  return hr;
}

}  // namespace

HRESULT CreateShortcut(const std::string& targetPath, const std::string& linkPath,
                       const std::string& description) {
  const ScopedComInit com;
  IShellLinkW* link = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link));
  if (FAILED(hr)) {
    return hr;
  }
  // A link missing a field is not saved: it would stand in the way of the next start's try.
  hr = SetPathField(*link, &IShellLinkW::SetPath, targetPath);
  if (SUCCEEDED(hr)) {
    hr = SetPathField(*link, &IShellLinkW::SetWorkingDirectory, FolderOf(targetPath));
  }
  if (SUCCEEDED(hr)) {
    hr = link->SetDescription(platform::WideText(description).c_str());
  }
  if (SUCCEEDED(hr)) {
    hr = SaveLink(*link, linkPath);
  }
  link->Release();
  return hr;
}
