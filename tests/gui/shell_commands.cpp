#include "shell_commands.h"

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/com_scope.h"
#include "driver_args.h"
#include "remote_memory.h"
#include "window_finder.h"

namespace gui_driver {

namespace {

constexpr UINT kAnswerMs = 2000;
// Tray tips hold at most 128 characters; the rest of the page is room to spare, as the tool
// tip copies its text without a bound.
constexpr size_t kRemoteBytes = 4096;
constexpr size_t kTextChars = (kRemoteBytes - sizeof(TTTOOLINFOW)) / sizeof(WCHAR);

struct ToolTipSearch {
  DWORD own_process;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectToolTip(HWND window, LPARAM search_address) {
  auto* search = reinterpret_cast<ToolTipSearch*>(search_address);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search->own_process && ClassOf(window) == TOOLTIPS_CLASSA) {
    search->found.push_back(window);
  }
  return TRUE;
}

// The texts of a tool tip window's tools. The tool tip writes a tool's text to the pointer in
// the record it is given, so record and text lie in its own process.
std::vector<std::string> ToolTexts(HWND tooltip) {
  std::vector<std::string> texts;
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutW(tooltip, TTM_GETTOOLCOUNT, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &count)) {
    return texts;
  }
  RemoteBuffer remote(tooltip, kRemoteBytes);
  const size_t text_at = sizeof(TTTOOLINFOW);
  for (DWORD_PTR index = 0; index < count; ++index) {
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.lpszText = static_cast<LPWSTR>(remote.At(text_at));
    const WCHAR nothing = 0;
    remote.Write(text_at, &nothing, sizeof nothing);
    remote.Write(0, &info, sizeof info);
    DWORD_PTR listed = 0;
    if (!SendMessageTimeoutW(tooltip, TTM_ENUMTOOLSW, index, reinterpret_cast<LPARAM>(remote.At(0)),
                             SMTO_ABORTIFHUNG, kAnswerMs, &listed) ||
        !listed) {
      continue;
    }
    remote.Read(0, &info, sizeof info);
    if (info.lpszText != remote.At(text_at)) {
      continue;  // a text the owner gives on demand, or a resource: nothing stored to read
    }
    std::vector<WCHAR> text(kTextChars + 1, 0);
    remote.Read(text_at, text.data(), kTextChars * sizeof(WCHAR));
    texts.push_back(Utf8(text.data()));
  }
  return texts;
}

// The notification area belongs to the shell, so its tips are those of other processes; the
// program's own tips (if any) are told apart by their text.
std::vector<std::string> ForeignToolTipTexts() {
  ToolTipSearch search{GetCurrentProcessId(), {}};
  EnumWindows(CollectToolTip, reinterpret_cast<LPARAM>(&search));
  std::vector<std::string> texts;
  for (HWND tooltip : search.found) {
    for (std::string& text : ToolTexts(tooltip)) {
      texts.push_back(std::move(text));
    }
  }
  return texts;
}

// An interface pointer released when it goes; declared after the ScopedComInit it needs.
template <class Interface>
class ComObject {
 public:
  ComObject() = default;
  ~ComObject() {
    if (object_ != nullptr) {
      object_->Release();
    }
  }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;
  void** Out() { return reinterpret_cast<void**>(&object_); }
  Interface* operator->() const { return object_; }

 private:
  Interface* object_ = nullptr;
};

std::vector<std::string> PathParts(const std::string& path) {
  std::vector<std::string> parts;
  size_t begin = 0;
  while (begin <= path.size()) {
    const size_t end = std::min(path.find('\\', begin), path.size());
    if (end > begin) {
      parts.push_back(path.substr(begin, end - begin));
    }
    begin = end + 1;
  }
  return parts;
}

// The folder browser's tree, read and moved from outside. Opening an item makes the browser
// list its folders; labels are read through a record in the browser's process.
class FolderTree {
 public:
  explicit FolderTree(HWND browser)
      : tree_(FindWindowExA(browser, nullptr, WC_TREEVIEWA, nullptr)),
        remote_(RequireTree(tree_), sizeof(TVITEMW) + (MAX_PATH + 1) * sizeof(WCHAR)) {}

  // A drive shows as "label (Z:)", under an item at the top (the computer).
  HTREEITEM FindDrive(const std::string& name) {
    const std::string suffix = "(" + name + ")";
    auto isDrive = [&](const std::string& label) {
      return label.size() >= suffix.size() &&
             SameTextIgnoringCase(label.substr(label.size() - suffix.size()), suffix);
    };
    const HTREEITEM top = Next(nullptr, TVGN_ROOT);
    Open(top);
    for (HTREEITEM child = Next(top, TVGN_CHILD); child != nullptr;
         child = Next(child, TVGN_NEXT)) {
      if (HTREEITEM drive = FindFolder(child, isDrive)) {
        return drive;
      }
    }
    return nullptr;
  }

  template <class Accept>
  HTREEITEM FindFolder(HTREEITEM parent, Accept accept) {
    Open(parent);
    for (HTREEITEM child = Next(parent, TVGN_CHILD); child != nullptr;
         child = Next(child, TVGN_NEXT)) {
      if (accept(Label(child))) {
        return child;
      }
    }
    return nullptr;
  }

  void Select(HTREEITEM item) {
    Send(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
  }

 private:
  static HWND RequireTree(HWND tree) {
    if (tree == nullptr) {
      throw Failure("the dialog has no folder tree");
    }
    return tree;
  }

  LRESULT Send(UINT message, WPARAM wparam, LPARAM lparam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(tree_, message, wparam, lparam, SMTO_ABORTIFHUNG, kAnswerMs,
                             &result)) {
      throw Failure("the folder tree does not answer");
    }
    return static_cast<LRESULT>(result);
  }

  HTREEITEM Next(HTREEITEM item, UINT relation) {
    return reinterpret_cast<HTREEITEM>(
        Send(TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
  }

  void Open(HTREEITEM item) { Send(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item)); }

  std::string Label(HTREEITEM item) {
    const size_t text_at = sizeof(TVITEMW);
    TVITEMW record{};
    record.mask = TVIF_TEXT;
    record.hItem = item;
    record.pszText = static_cast<LPWSTR>(remote_.At(text_at));
    record.cchTextMax = MAX_PATH;
    remote_.Write(0, &record, sizeof record);
    if (!Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote_.At(0)))) {
      return {};
    }
    std::vector<WCHAR> text(MAX_PATH + 1, 0);
    remote_.Read(text_at, text.data(), MAX_PATH * sizeof(WCHAR));
    return Utf8(text.data());
  }

  HWND tree_;
  RemoteBuffer remote_;
};

}  // namespace

void WaitTrayTip(const Arguments& args, const Deadline& deadline) {
  for (;;) {
    const std::vector<std::string> texts = ForeignToolTipTexts();
    for (const std::string& text : texts) {
      if (text.find(args[0]) != std::string::npos) {
        std::printf("%s\n", text.c_str());
        return;
      }
    }
    if (deadline.Passed()) {
      std::string seen;
      for (const std::string& text : texts) {
        seen += "\n  \"" + text + "\"";
      }
      throw Failure("no tool tip holds \"" + args[0] + "\" within " +
                    std::to_string(deadline.TimeoutMs()) +
                    " ms; tips seen:" + (seen.empty() ? std::string(" none") : seen));
    }
    deadline.Pause();
  }
}

// A user's walk through the browser's folder tree: from the top, the drive, then each folder of
// the path, opening each on the way; OK then returns the selected folder to the program. (The
// browser's own BFFM_SETSELECTION does not find folders under Wine: its tree's item ids and
// the parsed path's differ.)
void BrowseTo(const Arguments& args, const Deadline& deadline) {
  HWND browser = RequireDialog(args[0], deadline);
  FolderTree tree(browser);
  const std::string path = ToWindowsPath(args[1]);
  const std::vector<std::string> parts = PathParts(path);
  if (parts.empty()) {
    throw UsageError("no folder in \"" + args[1] + "\"");
  }
  HTREEITEM item = tree.FindDrive(parts[0]);
  for (size_t index = 1; item != nullptr && index < parts.size(); ++index) {
    item = tree.FindFolder(
        item, [&](const std::string& label) { return SameTextIgnoringCase(label, parts[index]); });
  }
  if (item == nullptr) {
    throw Failure("the folder browser shows no " + path);
  }
  tree.Select(item);
  PressButton(browser, IDOK, args[0], deadline);
  std::printf("chose %s\n", path.c_str());
}

void Shortcut(const Arguments& args, const Deadline&) {
  const ScopedComInit com;
  const std::wstring path = Wide(ToWindowsPath(args[0]));
  ComObject<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              link.Out()))) {
    throw Failure("no shell link object");
  }
  ComObject<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.Out())) ||
      FAILED(file->Load(path.c_str(), STGM_READ))) {
    throw Failure("cannot load the shell link " + args[0]);
  }
  WCHAR text[INFOTIPSIZE + MAX_PATH] = {};
  // The target as the shell starts it, from the link's item list: Wine keeps the path field in
  // the ANSI code page only, best-fit.
  PIDLIST_ABSOLUTE item = nullptr;
  const bool listed =
      SUCCEEDED(link->GetIDList(&item)) && item != nullptr && SHGetPathFromIDListW(item, text);
  CoTaskMemFree(item);
  if (!listed && FAILED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) {
    throw Failure("the link has no target");
  }
  std::printf("target %s\n", Utf8(text).c_str());
  text[0] = L'\0';
  link->GetWorkingDirectory(text, MAX_PATH);
  std::printf("folder %s\n", Utf8(text).c_str());
  text[0] = L'\0';
  link->GetDescription(text, INFOTIPSIZE + MAX_PATH);
  std::printf("description %s\n", Utf8(text).c_str());
}

void Version(const Arguments& args, const Deadline&) {
  const std::wstring path = Wide(ToWindowsPath(args[0]));
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  std::vector<char> info(size);
  if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, info.data())) {
    throw Failure("no version resource in " + args[0]);
  }
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(info.data(), "\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO)) {
    throw Failure("no fixed version numbers in " + args[0]);
  }
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  std::printf("fixed %lu.%lu.%lu.%lu\n", HIWORD(fixed->dwFileVersionMS),
              LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
              LOWORD(fixed->dwFileVersionLS));
  for (const char* name : {"CompanyName", "FileDescription", "FileVersion", "InternalName",
                           "LegalCopyright", "OriginalFilename", "ProductName", "ProductVersion"}) {
    const std::string query = std::string("\\StringFileInfo\\040904B0\\") + name;
    if (VerQueryValueA(info.data(), query.c_str(), &value, &length) && length > 0) {
      std::printf("%s %s\n", name, static_cast<const char*>(value));
    }
  }
  const HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  const HRSRC found =
      module != nullptr ? FindResourceA(module, MAKEINTRESOURCEA(1), RT_MANIFEST) : nullptr;
  const HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  if (loaded != nullptr) {
    const std::string manifest(static_cast<const char*>(LockResource(loaded)),
                               SizeofResource(module, found));
    // The program's own identity comes first; its dependencies' follow.
    const size_t identity = manifest.find("<assemblyIdentity");
    const size_t start = manifest.find("version=\"", identity);
    if (identity != std::string::npos && start != std::string::npos) {
      const size_t from = start + 9;
      std::printf("manifest %s\n", manifest.substr(from, manifest.find('"', from) - from).c_str());
    }
  }
  if (module != nullptr) {
    FreeLibrary(module);
  }
}

}  // namespace gui_driver
