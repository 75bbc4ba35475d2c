#include "app/pick_folder.h"

#include <objbase.h>
#include <shlobj.h>

#include <optional>

#include "app/com_scope.h"
#include "framework/win_app.h"
#include "platform/wide_win32.h"

std::string PickFolder(HWND owner, const char* title, UINT flags) {
  // The folder browser is a COM client.
  const ScopedComInit com;
  IMalloc* allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator))) {
    return std::string();
  }
  const std::wstring wideTitle = platform::WideText(title);
  wchar_t displayName[MAX_PATH] = {};
  BROWSEINFOW browse{};
  browse.hwndOwner = owner;
  browse.pszDisplayName = displayName;
  browse.lpszTitle = wideTitle.c_str();
  browse.ulFlags = flags;
  std::string folder;
  if (LPITEMIDLIST item = SHBrowseForFolderW(&browse)) {
    wchar_t path[MAX_PATH] = {};
    // A name with a lone surrogate has no UTF-8 form: refused like a folder with no path.
    const std::optional<std::string> utf8 =
        SHGetPathFromIDListW(item, path) ? platform::Utf8Path(path) : std::nullopt;
    if (utf8 && !utf8->empty()) {
      folder = *utf8;
    } else {
      AfxMessageBox("Failed to get directory", MB_OK | MB_ICONSTOP);
    }
    allocator->Free(item);
  }
  allocator->Release();
  return folder;
}
