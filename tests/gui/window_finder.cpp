#include "window_finder.h"

#include <cstdio>
#include <vector>

namespace gui_driver {

std::string Utf8(const WCHAR* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) {
    return {};
  }
  std::string result(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, &result[0], size, nullptr, nullptr);
  result.resize(static_cast<size_t>(size - 1));
  return result;
}

std::wstring Wide(const std::string& text) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  std::wstring result(static_cast<size_t>(size > 0 ? size : 1), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &result[0], size);
  result.resize(result.size() - 1);
  return result;
}

namespace {

constexpr DWORD kPollMs = 50;
constexpr UINT kAnswerMs = 2000;
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kLastAnswerId = 11;  // IDCONTINUE

// GetWindowText of another process's window returns the stored text without sending it a
// message, so a busy program cannot stall the search.
std::string Title(HWND window) {
  char text[1024];
  const int length = GetWindowTextA(window, text, sizeof text);
  return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

// Top first, so among equals the one in front wins.
std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

template <typename Accept>
HWND Pick(const std::string& title, bool prefer_owned, Accept accept) {
  HWND fallback = nullptr;
  for (HWND window : TopLevelWindows()) {
    if (Title(window) != title || !accept(window)) {
      continue;
    }
    const bool owned = GetWindow(window, GW_OWNER) != nullptr;
    if (owned == prefer_owned) {
      return window;
    }
    if (fallback == nullptr) {
      fallback = window;
    }
  }
  return fallback;
}

bool IsStatic(HWND window) {
  return SameTextIgnoringCase(ClassOf(window), "Static");
}

// A message box holds its text (static 0xFFFF), maybe an icon, and buttons with the ids of the
// answers (IDOK to IDCONTINUE). The last part tells it from a program's dialog that has the same
// title and a plain static, which also gets id 0xFFFF.
bool IsMessageBox(HWND window) {
  if (ClassOf(window) != "#32770" || !IsWindowVisible(window)) {
    return false;
  }
  HWND text = FindChild(window, kMessageBoxTextId);
  if (text == nullptr || !IsStatic(text)) {
    return false;
  }
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    const int id = GetDlgCtrlID(child);
    if (!IsStatic(child) && !(id >= IDOK && id <= kLastAnswerId)) {
      return false;
    }
  }
  return true;
}

}  // namespace

Deadline::Deadline(unsigned timeout_ms)
    : timeout_ms_(timeout_ms), end_(GetTickCount64() + timeout_ms) {}

bool Deadline::Passed() const {
  return GetTickCount64() >= end_;
}

void Deadline::Pause() const {
  const ULONGLONG now = GetTickCount64();
  if (now < end_) {
    Sleep(static_cast<DWORD>(end_ - now < kPollMs ? end_ - now : kPollMs));
  }
}

std::string ClassOf(HWND window) {
  char name[256];
  const int length = GetClassNameA(window, name, sizeof name);
  return std::string(name, length > 0 ? static_cast<size_t>(length) : 0);
}

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
  return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
         CSTR_EQUAL;
}

HWND FindMainWindow(const std::string& title) {
  return Pick(title, false, [](HWND) { return true; });
}

HWND FindWindowWithControl(const std::string& title, int id) {
  return Pick(title, false, [id](HWND window) { return FindChild(window, id) != nullptr; });
}

HWND FindMessageBox(const std::string& caption) {
  return Pick(caption, true, IsMessageBox);
}

HWND FindDialog(const std::string& caption) {
  return Pick(caption, true,
              [](HWND window) { return ClassOf(window) == "#32770" && IsWindowVisible(window); });
}

HWND FindChild(HWND parent, int id) {
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if ((GetDlgCtrlID(child) & 0xFFFF) == (id & 0xFFFF)) {
      return child;
    }
  }
  return nullptr;
}

std::string ReadText(HWND window) {
  // The control's own answer: a control may keep its text itself rather than in the system.
  DWORD_PTR length = 0;
  if (SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &length)) {
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]),
                            SMTO_ABORTIFHUNG, kAnswerMs, &copied)) {
      text.resize(copied <= length ? copied : length);
      return Utf8(text.c_str());
    }
  }
  if (!IsWindow(window)) {
    std::fprintf(stderr, "gui_driver: the window closed while being read\n");
    return {};
  }
  std::fprintf(stderr, "gui_driver: the window does not answer; reading its stored text\n");
  return Title(window);
}

std::string DescribeTopLevelWindows() {
  std::string lines;
  for (HWND window : TopLevelWindows()) {
    const std::string title = Title(window);
    const bool visible = IsWindowVisible(window) != FALSE;
    if (title.empty() && !visible) {
      continue;  // Wine's many hidden helper windows
    }
    char line[1400];
    std::snprintf(line, sizeof line, "  %p %s \"%s\"%s%s\n", static_cast<void*>(window),
                  ClassOf(window).c_str(), title.c_str(), visible ? "" : " hidden",
                  GetWindow(window, GW_OWNER) != nullptr ? " owned" : "");
    lines += line;
  }
  return lines.empty() ? "  (none)\n" : lines;
}

}  // namespace gui_driver
