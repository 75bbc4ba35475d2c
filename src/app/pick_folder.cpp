#include "app/pick_folder.h"

#include <objbase.h>
#include <shlobj.h>

#include "app/com_scope.h"
#include "framework/win_app.h"

std::string PickFolder(HWND owner, const char* title, UINT flags) {
  // The folder browser is a COM client.
  const ScopedComInit com;
  IMalloc* allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator))) {
    return std::string();
  }
  char displayName[MAX_PATH] = {};
  BROWSEINFOA browse{};
  browse.hwndOwner = owner;
  browse.pszDisplayName = displayName;
  browse.lpszTitle = title;
  browse.ulFlags = flags;
  std::string folder;
  if (LPITEMIDLIST item = SHBrowseForFolderA(&browse)) {
    char path[MAX_PATH] = {};
    if (SHGetPathFromIDListA(item, path) && path[0] != '\0') {
      folder = path;
    } else {
      AfxMessageBox("Failed to get directory", MB_OK | MB_ICONSTOP);
    }
    allocator->Free(item);
  }
  allocator->Release();
  return folder;
}
