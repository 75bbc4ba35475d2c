#include "driver_commands.h"

#include <cstdint>
#include <cstdio>
#include <utility>

#include "driver_args.h"
#include "shell_commands.h"
#include "tray_shell.h"
#include "window_capture.h"

namespace gui_driver {

namespace {

constexpr int kMessageBoxTextId = 0xFFFF;
constexpr DWORD kCaptureSettleMs = 100;

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

std::string Handle(HWND window) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llx",
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)));
  return text;
}

void Print(const std::string& line) {
  std::printf("%s\n", line.c_str());
}

std::string WithinTimeout(const Deadline& deadline) {
  return " within " + std::to_string(deadline.TimeoutMs()) + " ms";
}

long long Number(const std::string& text, const char* what) {
  long long value = 0;
  if (!ParseNumber(text, &value)) {
    throw UsageError(std::string(what) + " must be a decimal or 0x number, not " + Quoted(text));
  }
  return value;
}

int ControlId(const std::string& text) {
  const long long id = Number(text, "a control id");
  if (id < -1 || id > 0xFFFF) {
    throw UsageError("a control id is 16 bits, not " + text);
  }
  return static_cast<int>(id);
}

HWND RequireWindow(const std::string& title, const Deadline& deadline) {
  HWND window = WaitFor(deadline, [&] { return FindMainWindow(title); });
  if (window == nullptr) {
    throw Failure("no window titled " + Quoted(title) + WithinTimeout(deadline) +
                  "; top-level windows:\n" + DescribeTopLevelWindows());
  }
  return window;
}

HWND RequireControl(const std::string& title, int id, const Deadline& deadline) {
  HWND window = WaitFor(deadline, [&] { return FindWindowWithControl(title, id); });
  if (window == nullptr) {
    if (FindMainWindow(title) != nullptr) {
      throw Failure("window " + Quoted(title) + " has no control " + std::to_string(id));
    }
    throw Failure("no window titled " + Quoted(title) + WithinTimeout(deadline) +
                  "; top-level windows:\n" + DescribeTopLevelWindows());
  }
  return FindChild(window, id);
}

HWND RequireMessageBox(const std::string& caption, const Deadline& deadline) {
  HWND box = WaitFor(deadline, [&] { return FindMessageBox(caption); });
  if (box == nullptr) {
    throw Failure("no message box captioned " + Quoted(caption) + WithinTimeout(deadline) +
                  "; top-level windows:\n" + DescribeTopLevelWindows());
  }
  return box;
}

bool OnScreen(HWND window) {
  return IsWindowVisible(window) && !IsIconic(window);
}

// What keeps a user from clicking the control, or empty if nothing does.
std::string ClickObstacle(HWND control) {
  HWND window = GetAncestor(control, GA_ROOT);
  if (!OnScreen(window)) {
    return "its window is hidden or minimised";
  }
  if (!IsWindowVisible(control)) {
    return "it is hidden";
  }
  if (!IsWindowEnabled(control)) {
    return "it is disabled";
  }
  if (!IsWindowEnabled(window)) {
    return "its window is disabled (a modal box is open?)";
  }
  return {};
}

void WaitWindow(const Arguments& args, const Deadline& deadline) {
  Print(Handle(RequireWindow(args[0], deadline)));
}

void WaitGone(const Arguments& args, const Deadline& deadline) {
  HWND window = FindMainWindow(args[0]);
  while (window != nullptr && !deadline.Passed()) {
    deadline.Pause();
    window = FindMainWindow(args[0]);
  }
  if (window != nullptr) {
    throw Failure("window " + Quoted(args[0]) + " still there" + WithinTimeout(deadline));
  }
  Print("gone");
}

// Posted, not sent: a click that opens a modal box would not return until the box closed.
// The click is therefore done once the program takes it from its queue; follow it with
// wait-text or wait-box rather than text.
void Click(const Arguments& args, const Deadline& deadline) {
  const int id = ControlId(args[1]);
  HWND control = RequireControl(args[0], id, deadline);
  std::string obstacle = ClickObstacle(control);
  while (!obstacle.empty() && !deadline.Passed()) {
    deadline.Pause();
    obstacle = ClickObstacle(control);
  }
  if (!obstacle.empty()) {
    throw Failure("cannot click control " + args[1] + " of " + Quoted(args[0]) + ": " + obstacle);
  }
  if (!PostMessageA(control, BM_CLICK, 0, 0)) {
    throw Failure("posting the click failed, error " + std::to_string(GetLastError()));
  }
  Print("clicked");
}

void Text(const Arguments& args, const Deadline& deadline) {
  Print(ReadText(RequireControl(args[0], ControlId(args[1]), deadline)));
}

// The control's own flag: whether its window is on screen is window-visible's question.
void Visible(const Arguments& args, const Deadline& deadline) {
  HWND control = RequireControl(args[0], ControlId(args[1]), deadline);
  Print((GetWindowLongPtrA(control, GWL_STYLE) & WS_VISIBLE) != 0 ? "1" : "0");
}

void PrintRect(const RECT& area) {
  Print(std::to_string(area.left) + " " + std::to_string(area.top) + " " +
        std::to_string(area.right) + " " + std::to_string(area.bottom));
}

// Where the control lies in its window's client area, as pixel checks of a capture need it.
void Rect(const Arguments& args, const Deadline& deadline) {
  HWND control = RequireControl(args[0], ControlId(args[1]), deadline);
  RECT area{};
  GetWindowRect(control, &area);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&area), 2);
  PrintRect(area);
}

// Where the window lies on the screen.
void WindowRect(const Arguments& args, const Deadline& deadline) {
  RECT area{};
  GetWindowRect(RequireWindow(args[0], deadline), &area);
  PrintRect(area);
}

void WaitText(const Arguments& args, const Deadline& deadline) {
  HWND control = RequireControl(args[0], ControlId(args[1]), deadline);
  std::string text = ReadText(control);
  while (text.find(args[2]) == std::string::npos) {
    if (deadline.Passed() || !IsWindow(control)) {
      throw Failure("control " + args[1] + " of " + Quoted(args[0]) + " shows " + Quoted(text) +
                    ", not " + Quoted(args[2]) + WithinTimeout(deadline));
    }
    deadline.Pause();
    text = ReadText(control);
  }
  Print(text);
}

void WaitBox(const Arguments& args, const Deadline& deadline) {
  HWND box = RequireMessageBox(args[0], deadline);
  Print(ReadText(FindChild(box, kMessageBoxTextId)));
}

int ButtonId(const std::string& text) {
  int id = 0;
  if (!ParseButton(text, &id)) {
    throw UsageError("a button is IDOK, IDCANCEL, IDYES, IDNO, ... or a number, not " +
                     Quoted(text));
  }
  return id;
}

void AnswerBox(const Arguments& args, const Deadline& deadline) {
  const int id = ButtonId(args[1]);
  PressButton(RequireMessageBox(args[0], deadline), id, args[0], deadline);
  Print("answered " + ButtonName(id));
}

void Press(const Arguments& args, const Deadline& deadline) {
  const int id = ButtonId(args[1]);
  PressButton(RequireDialog(args[0], deadline), id, args[0], deadline);
  Print("pressed " + ButtonName(id));
}

// Where a message box's button lies on the screen, for a real click on it.
void BoxButton(const Arguments& args, const Deadline& deadline) {
  HWND button = FindChild(RequireMessageBox(args[0], deadline), ButtonId(args[1]));
  if (button == nullptr) {
    throw Failure(Quoted(args[0]) + " has no " + args[1] + " button");
  }
  RECT area{};
  GetWindowRect(button, &area);
  PrintRect(area);
}

void Post(const Arguments& args, const Deadline& deadline) {
  const long long message = Number(args[1], "a message");
  if (message < 0 || message > 0xFFFF) {
    throw UsageError("a window message is below 0x10000, not " + args[1]);
  }
  const long long wparam = Number(args[2], "wParam");
  const long long lparam = Number(args[3], "lParam");
  HWND window = RequireWindow(args[0], deadline);
  if (!PostMessageA(window, static_cast<UINT>(message), static_cast<WPARAM>(wparam),
                    static_cast<LPARAM>(lparam))) {
    throw Failure("posting failed, error " + std::to_string(GetLastError()));
  }
  Print("posted");
}

void WindowVisible(const Arguments& args, const Deadline& deadline) {
  Print(OnScreen(RequireWindow(args[0], deadline)) ? "1" : "0");
}

bool SameImage(const Image& a, const Image& b) {
  return a.width == b.width && a.height == b.height && a.rows == b.rows;
}

// Captures until two captures a moment apart agree, so a repaint in progress is not caught
// half done.
void Capture(const Arguments& args, const Deadline& deadline) {
  HWND window = RequireWindow(args[0], deadline);
  while (!OnScreen(window)) {
    if (deadline.Passed()) {
      throw Failure("window " + Quoted(args[0]) + " is hidden or minimised: nothing to capture");
    }
    deadline.Pause();
  }
  Image image;
  Image previous;
  for (bool first = true;; first = false) {
    if (!CaptureWindow(window, &image)) {
      throw Failure("could not capture window " + Quoted(args[0]));
    }
    if (!first && SameImage(image, previous)) {
      break;
    }
    if (deadline.Passed()) {
      std::fprintf(stderr, "gui_driver: window still changing; saving the last capture\n");
      break;
    }
    previous = std::move(image);
    Sleep(kCaptureSettleMs);
  }
  if (!WriteBmp(ToWindowsPath(args[1]), image)) {
    throw Failure("could not write " + args[1]);
  }
  Print(std::to_string(image.width) + "x" + std::to_string(image.height));
}

// Captures the window the moment a control's text has changed, as PREFIX_1.bmp and on, until
// the text holds SUBSTRING: the screen as it is before the program has had a chance to repaint,
// so a text drawn over the old one shows. The text is asked for without pause, so no change
// slips by.
void SnapOnChange(const Arguments& args, const Deadline& deadline) {
  HWND window = RequireWindow(args[0], deadline);
  HWND control = RequireControl(args[0], ControlId(args[1]), deadline);
  std::string last = ReadText(control);
  int snaps = 0;
  while (last.find(args[2]) == std::string::npos) {
    std::string text;
    while ((text = ReadText(control)) == last) {
      if (deadline.Passed() || !IsWindow(control)) {
        throw Failure("control " + args[1] + " kept " + Quoted(text) + WithinTimeout(deadline));
      }
    }
    Image image;
    if (!CaptureWindow(window, &image) ||
        !WriteBmp(ToWindowsPath(args[3] + "_" + std::to_string(++snaps) + ".bmp"), image)) {
      throw Failure("could not capture window " + Quoted(args[0]));
    }
    last = text;
  }
  Print(std::to_string(snaps));
}

void Close(const Arguments& args, const Deadline& deadline) {
  if (!PostMessageA(RequireWindow(args[0], deadline), WM_CLOSE, 0, 0)) {
    throw Failure("posting WM_CLOSE failed, error " + std::to_string(GetLastError()));
  }
  Print("posted");
}

}  // namespace

HWND RequireDialog(const std::string& caption, const Deadline& deadline) {
  HWND dialog = WaitFor(deadline, [&] { return FindDialog(caption); });
  if (dialog == nullptr) {
    throw Failure("no dialog captioned " + Quoted(caption) + WithinTimeout(deadline) +
                  "; top-level windows:\n" + DescribeTopLevelWindows());
  }
  return dialog;
}

// Waits for the dialog to go, so that a next question with the same caption is not taken for
// this one.
void PressButton(HWND dialog, int id, const std::string& caption, const Deadline& deadline) {
  HWND button = FindChild(dialog, id);
  if (button == nullptr || !IsWindowVisible(button)) {
    std::string present;
    for (int other = IDOK; other <= IDNO; ++other) {
      HWND candidate = FindChild(dialog, other);
      if (candidate != nullptr && IsWindowVisible(candidate)) {
        present += " " + ButtonName(other);
      }
    }
    throw Failure(Quoted(caption) + " has no " + ButtonName(id) + " button; it has:" + present);
  }
  if (!IsWindowEnabled(button)) {
    throw Failure(ButtonName(id) + " of " + Quoted(caption) + " is disabled");
  }
  if (!PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                    reinterpret_cast<LPARAM>(button))) {
    throw Failure("posting the press failed, error " + std::to_string(GetLastError()));
  }
  while (IsWindow(dialog) && IsWindowVisible(dialog)) {
    if (deadline.Passed()) {
      throw Failure(Quoted(caption) + " still open after " + ButtonName(id));
    }
    deadline.Pause();
  }
}

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"wait-window", "TITLE", WaitWindow},
      {"wait-gone", "TITLE", WaitGone},
      {"click", "TITLE ID", Click},
      {"text", "TITLE ID", Text},
      {"visible", "TITLE ID", Visible},
      {"rect", "TITLE ID", Rect},
      {"window-rect", "TITLE", WindowRect},
      {"wait-text", "TITLE ID SUBSTRING", WaitText},
      {"wait-box", "CAPTION", WaitBox},
      {"answer-box", "CAPTION BUTTON", AnswerBox},
      {"press", "CAPTION BUTTON", Press},
      {"box-button", "CAPTION BUTTON", BoxButton},
      {"post", "TITLE MSG WPARAM LPARAM", Post},
      {"window-visible", "TITLE", WindowVisible},
      {"capture", "TITLE FILE.bmp", Capture},
      {"snap-on-change", "TITLE ID SUBSTRING PREFIX", SnapOnChange},
      {"close", "TITLE", Close},
      {"wait-tray-tip", "SUBSTRING", WaitTrayTip},
      {"browse-to", "CAPTION PATH", BrowseTo},
      {"shortcut", "FILE.lnk", Shortcut},
      {"version", "FILE.exe", Version},
      {"tray-shell", "MODE FILE", TrayShell},
  };
  return commands;
}

}  // namespace gui_driver
