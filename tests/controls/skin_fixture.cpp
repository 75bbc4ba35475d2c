#include "skin_fixture.h"

#include "controls/transparent_ctrl.h"
#include "platform/wide_win32.h"

namespace controls_test {
namespace {

constexpr char kParentClass[] = "MoraventSkinParent";

const char* RegisterParentClass() {
  static const ATOM registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = CreateSolidBrush(kEraseColour);
    windowClass.lpszClassName = kParentClass;
    return RegisterClassA(&windowClass);
  }();
  return registered != 0 ? kParentClass : nullptr;
}

}  // namespace

COLORREF PatternAt(int x, int y) {
  return RGB(x % 256, y % 256, 0x80);
}

CDC& ScreenDC() {
  static CClientDC screen(nullptr);
  return screen;
}

BEGIN_MESSAGE_MAP(SkinParent, CWnd)
ON_WM_PAINT()
ON_MESSAGE(WM_PARENTBKGND, &SkinParent::OnParentBkgnd)
ON_MESSAGE(WM_COMMAND, &SkinParent::OnCommand)
END_MESSAGE_MAP()

SkinParent::SkinParent() : m_background(ScreenDC(), kParentRect.Width(), kParentRect.Height()) {
  for (int y = 0; y < kParentRect.Height(); ++y) {
    for (int x = 0; x < kParentRect.Width(); ++x) {
      SetPixelV(m_background.m_hDC, x, y, PatternAt(x, y));
    }
  }
  CreateEx(0, RegisterParentClass(), WS_POPUP | WS_VISIBLE, nullptr);
  MoveWindow(&kParentRect);
}

void SkinParent::Reset() {
  answersBackground = true;
  clicks = 0;
  while (const HWND child = GetTopWindow(m_hWnd)) {
    ::DestroyWindow(child);
  }
}

SkinParent& FreshParent() {
  // Left to the end of the process.
  static SkinParent* const parent = new SkinParent;
  parent->Reset();
  return *parent;
}

HWND SkinParent::CreateChild(const char* className, const char* text, DWORD style,
                             const CRect& rect, int id) {
  return CreateWindowExA(0, className, text, WS_CHILD | style, rect.left, rect.top, rect.Width(),
                         rect.Height(), m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleA(nullptr), nullptr);
}

void SkinParent::OnPaint() {
  CPaintDC dc(this);
  m_background.CopyTo(dc, 0, 0);
}

LRESULT SkinParent::OnCommand(WPARAM wParam, LPARAM) {
  clicks += HIWORD(wParam) == BN_CLICKED ? 1 : 0;
  return 0;
}

LRESULT SkinParent::OnParentBkgnd(WPARAM wParam, LPARAM lParam) {
  if (!answersBackground) {
    return 0;
  }
  CDC childDC(reinterpret_cast<HDC>(wParam));
  CopyParentBackground(&m_background, childDC, reinterpret_cast<HWND>(lParam));
  return 1;
}

void RegisterWebPageCommand(const char* command) {
  const std::string pageClass = command != nullptr ? "MoraventTest.Page" : "MoraventTest.Bare";
  RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, pageClass.c_str(), 0);
  if (command != nullptr) {
    // The command is UTF-8, as the program reads it back.
    RegSetValueW(HKEY_CLASSES_ROOT,
                 platform::WideText(pageClass + "\\shell\\open\\command").c_str(), REG_SZ,
                 platform::WideText(command).c_str(), 0);
  } else {
    RegSetValueA(HKEY_CLASSES_ROOT, pageClass.c_str(), REG_SZ, "no command", 0);
  }
}

std::string QuotedRecorderPath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string recorder = path;
  recorder.erase(recorder.find_last_of('\\') + 1);
  return "\"" + recorder + "command_line_recorder.exe\"";
}

std::string Describe(const RECT& rect) {
  return std::to_string(rect.left) + "," + std::to_string(rect.top) + " " +
         std::to_string(rect.right - rect.left) + "x" + std::to_string(rect.bottom - rect.top);
}

}  // namespace controls_test
