// Finding the windows of the program under test from another process, with bounded waits.
#pragma once

#include <windows.h>

#include <string>

namespace gui_driver {

// The driver's texts, arguments and output are UTF-8; windows hold UTF-16.
std::string Utf8(const WCHAR* text);
std::wstring Wide(const std::string& text);

class Deadline {
 public:
  explicit Deadline(unsigned timeout_ms);
  bool Passed() const;
  unsigned TimeoutMs() const { return timeout_ms_; }
  // One polling step, never past the deadline.
  void Pause() const;

 private:
  unsigned timeout_ms_;
  ULONGLONG end_;
};

// Polls `find` until it gives a window or the deadline passes (then nullptr).
template <typename Find>
HWND WaitFor(const Deadline& deadline, Find find) {
  for (;;) {
    HWND window = find();
    if (window != nullptr || deadline.Passed()) {
      return window;
    }
    deadline.Pause();
  }
}

// The window's class name.
std::string ClassOf(HWND window);

// Equal as Windows compares names of files and classes: case aside.
bool SameTextIgnoringCase(const std::string& a, const std::string& b);

// The top-level window titled `title`. A message box that carries the same caption is owned
// by the window it belongs to, so unowned windows are preferred.
HWND FindMainWindow(const std::string& title);

// As FindMainWindow, among the windows titled `title` that have a child control `id`.
HWND FindWindowWithControl(const std::string& title, int id);

// A visible message box with this caption; owned ones first, as the program's boxes belong to
// its window.
HWND FindMessageBox(const std::string& caption);

// A visible dialog (of the system's dialog class) with this caption; owned ones first.
HWND FindDialog(const std::string& caption);

// A direct child by control id; ids compare in 16 bits, as templates store them.
HWND FindChild(HWND parent, int id);

// The window's text as its window procedure reports it.
std::string ReadText(HWND window);

// One line per titled or visible top-level window, for failure messages.
std::string DescribeTopLevelWindows();

}  // namespace gui_driver
