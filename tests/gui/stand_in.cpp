// A small dialog that stands in for the real window when the GUI driver itself is tested:
// each control shows in its status line what reached it, so a test can tell that a driver
// command arrived.
#include <windows.h>

#include <cstdio>

#include "stand_in_ids.h"

namespace {

constexpr char kTitle[] = "Driver stand-in";
constexpr UINT kTrayMessage = WM_USER + 10;
constexpr int kClosedExitCode = 7;

// Fixed pixel size and colours, so a capture's size and pixels can be checked exactly: a red
// band along the top shows whether the image is upside down or its channels swapped.
constexpr int kWidth = 300;
constexpr int kHeight = 180;
constexpr int kBandHeight = 12;
constexpr COLORREF kBandColour = RGB(200, 30, 30);
constexpr COLORREF kBackgroundColour = RGB(32, 96, 160);

// How long a box's answer waits before the box takes it, as it does in a program whose window
// thread is busy: the driver must not take the closing box for the next one.
constexpr DWORD kSlowAnswerMs = 300;

int g_clicks = 0;
HWND g_dialog = nullptr;

LRESULT CALLBACK DelayAnswers(int code, WPARAM wparam, LPARAM lparam) {
  const MSG* message = reinterpret_cast<const MSG*>(lparam);
  char name[16] = "";
  if (code == HC_ACTION && wparam == PM_REMOVE && message->message == WM_COMMAND &&
      message->hwnd != g_dialog && GetClassNameA(message->hwnd, name, sizeof name) > 0 &&
      lstrcmpA(name, "#32770") == 0) {
    Sleep(kSlowAnswerMs);
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

void SetStatus(HWND dialog, const char* text) {
  SetDlgItemTextA(dialog, IDC_STAND_IN_STATUS, text);
}

void PaintBackground(HWND dialog, HDC dc) {
  RECT rect;
  GetClientRect(dialog, &rect);
  HBRUSH background = CreateSolidBrush(kBackgroundColour);
  FillRect(dc, &rect, background);
  DeleteObject(background);
  rect.bottom = kBandHeight;
  HBRUSH band = CreateSolidBrush(kBandColour);
  FillRect(dc, &rect, band);
  DeleteObject(band);
}

// Two questions under the window's own caption, as a chain of questions on leaving would be.
void Ask(HWND dialog) {
  const int first = MessageBoxA(dialog, "Keep the part file?", kTitle, MB_YESNO | MB_ICONQUESTION);
  if (first != IDYES) {
    SetStatus(dialog, "Answers: No");
    return;
  }
  const int second = MessageBoxA(dialog, "Really keep it?", kTitle, MB_YESNO);
  SetStatus(dialog, second == IDYES ? "Answers: Yes, Yes" : "Answers: Yes, No");
}

void OnCommand(HWND dialog, int id) {
  char text[64];
  switch (id) {
    case IDC_STAND_IN_COUNT:
      std::snprintf(text, sizeof text, "Clicked %d", ++g_clicks);
      SetStatus(dialog, text);
      ShowWindow(GetDlgItem(dialog, IDC_STAND_IN_LATE_LABEL), SW_SHOW);
      break;
    case IDC_STAND_IN_ASK:
      Ask(dialog);
      break;
    case IDC_STAND_IN_NOTICE:
      MessageBoxA(dialog, "Saved in C:\\Stand-in", "Stand-in notice", MB_OK);
      SetStatus(dialog, "Notice closed");
      break;
    case IDC_STAND_IN_DISABLED:
      SetStatus(dialog, "Disabled button clicked");
      break;
    case IDC_STAND_IN_HIDE:
      ShowWindow(dialog, SW_HIDE);
      SetStatus(dialog, "Hidden");
      break;
    case IDC_STAND_IN_MINIMISE:
      ShowWindow(dialog, SW_MINIMIZE);
      SetStatus(dialog, "Minimised");
      break;
    default:
      break;
  }
}

void OnTrayMessage(HWND dialog, WPARAM wparam, LPARAM lparam) {
  char text[64];
  std::snprintf(text, sizeof text, "Tray %u 0x%x", static_cast<unsigned>(wparam),
                static_cast<unsigned>(lparam));
  SetStatus(dialog, text);
  if (lparam == WM_LBUTTONUP) {
    ShowWindow(dialog, IsIconic(dialog) ? SW_RESTORE : SW_SHOW);
  }
}

INT_PTR CALLBACK StandInProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      g_dialog = dialog;
      SetWindowsHookExA(WH_GETMESSAGE, DelayAnswers, nullptr, GetCurrentThreadId());
      SetWindowTextA(dialog, kTitle);
      SetWindowPos(dialog, nullptr, 0, 0, kWidth, kHeight, SWP_NOMOVE | SWP_NOZORDER);
      return TRUE;
    case WM_ERASEBKGND:
      PaintBackground(dialog, reinterpret_cast<HDC>(wparam));
      SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 1);
      return TRUE;
    case WM_COMMAND:
      OnCommand(dialog, LOWORD(wparam));
      return TRUE;
    case kTrayMessage:
      OnTrayMessage(dialog, wparam, lparam);
      return TRUE;
    case WM_CLOSE:
      EndDialog(dialog, kClosedExitCode);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return static_cast<int>(
      DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_STAND_IN), nullptr, StandInProc, 0));
}
