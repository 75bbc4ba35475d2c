#include "tray_shell.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "driver_args.h"

namespace gui_driver {

namespace {

constexpr char kTitle[] = "Test shell";
constexpr DWORD kPollMs = 50;

struct ShellState {
  bool accept;
  FILE* log;
};

std::string ActionName(ULONG_PTR action) {
  static const char* const kNames[] = {"NIM_ADD", "NIM_MODIFY", "NIM_DELETE", "NIM_SETFOCUS",
                                       "NIM_SETVERSION"};
  return action < sizeof kNames / sizeof kNames[0] ? kNames[action] : std::to_string(action);
}

// Wine's Shell_NotifyIcon sends the request with the action in dwData and a record of its own
// that starts with the icon's window (32 bits), id and flags; a balloon (NIF_INFO) is logged
// with " info" behind the id.
LRESULT CALLBACK ShellProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* state = reinterpret_cast<ShellState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (message == WM_COPYDATA && state != nullptr) {
    const auto* request = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
    UINT id = 0;
    UINT flags = 0;
    const auto* record = static_cast<const char*>(request->lpData);
    if (request->cbData >= sizeof(LONG) + sizeof id + sizeof flags) {
      std::memcpy(&id, record + sizeof(LONG), sizeof id);
      std::memcpy(&flags, record + sizeof(LONG) + sizeof id, sizeof flags);
    }
    std::fprintf(state->log, "%s %u%s\n", ActionName(request->dwData).c_str(), id,
                 (flags & NIF_INFO) != 0 ? " info" : "");
    std::fflush(state->log);
    return state->accept ? TRUE : FALSE;
  }
  if (message == WM_CLOSE) {
    DestroyWindow(window);
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

// Handles the window's messages until WM_QUIT; false when the deadline came first.
bool RunUntilQuit(const Deadline& deadline) {
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        return true;
      }
      DispatchMessageA(&message);
    }
    if (deadline.Passed()) {
      return false;
    }
    // Wakes at once for a request: the program waits for the answer.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
  }
}

}  // namespace

void TrayShell(const Arguments& args, const Deadline& deadline) {
  if (args[0] != "accept" && args[0] != "refuse") {
    throw UsageError("MODE is accept or refuse, not \"" + args[0] + "\"");
  }
  // Binary: lines for shell scripts, without carriage returns.
  FILE* log = std::fopen(ToWindowsPath(args[1]).c_str(), "wb");
  if (log == nullptr) {
    throw Failure("cannot write " + args[1]);
  }
  ShellState state{args[0] == "accept", log};
  WNDCLASSA shell_class{};
  shell_class.lpfnWndProc = ShellProc;
  shell_class.hInstance = GetModuleHandleA(nullptr);
  shell_class.lpszClassName = "Shell_TrayWnd";
  // Created last, it lies above the shell's own window, where Shell_NotifyIcon looks first.
  HWND window = RegisterClassA(&shell_class) != 0
                    ? CreateWindowExA(0, shell_class.lpszClassName, "", WS_POPUP, 0, 0, 0, 0,
                                      nullptr, nullptr, shell_class.hInstance, nullptr)
                    : nullptr;
  if (window == nullptr) {
    std::fclose(log);
    throw Failure("cannot make the shell's window, error " + std::to_string(GetLastError()));
  }
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
  SendNotifyMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  // Titled once the news is out, so that a caller waiting for the window knows it went out.
  SetWindowTextA(window, kTitle);
  const bool closed = RunUntilQuit(deadline);
  std::fclose(log);
  if (!closed) {
    DestroyWindow(window);
    throw Failure("not closed within " + std::to_string(deadline.TimeoutMs()) + " ms");
  }
  std::printf("closed\n");
}

}  // namespace gui_driver
