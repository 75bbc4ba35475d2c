#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/framework.h"
#include "platform/test_support.h"
#include "scripted_dialog.h"

namespace {

constexpr UINT kBaseOnly = WM_USER + 1;
constexpr UINT kOverridden = WM_USER + 2;
constexpr UINT kUnhandled = WM_USER + 3;
constexpr UINT kPosted = WM_USER + 0x83;
constexpr int kButtonId = 1002;
constexpr int kBaseCommandId = 1030;
const UINT kRegistered = RegisterWindowMessageA("moravent message map test");
const UINT kOtherRegistered = RegisterWindowMessageA("moravent message map test, other");

// A hidden top-level static window to bind objects to; destroyed with the fixture.
class StaticWindow {
 public:
  StaticWindow()
      : m_hwnd(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr)) {}
  ~StaticWindow() { DestroyWindow(m_hwnd); }
  HWND get() const { return m_hwnd; }

 private:
  HWND m_hwnd;
};

class BaseWindow : public CWnd {
 public:
  std::vector<std::string> calls;

 protected:
  LRESULT OnBaseOnly(WPARAM wParam, LPARAM lParam) {
    calls.push_back("base only");
    return static_cast<LRESULT>(wParam) + lParam;
  }
  LRESULT OnBaseOverridden(WPARAM, LPARAM) {
    calls.push_back("base overridden");
    return 1;
  }
  void OnBaseCommand() { calls.push_back("base command"); }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseWindow, CWnd)
ON_MESSAGE(kBaseOnly, &BaseWindow::OnBaseOnly)
ON_MESSAGE(kOverridden, &BaseWindow::OnBaseOverridden)
ON_COMMAND(kBaseCommandId, &BaseWindow::OnBaseCommand)
END_MESSAGE_MAP()

class DerivedWindow : public BaseWindow {
 public:
  WPARAM postedWParam = 0;
  LPARAM postedLParam = 0;
  std::vector<UINT_PTR> timers;

 protected:
  LRESULT OnFirstEntry(WPARAM, LPARAM) {
    calls.push_back("first entry");
    return 2;
  }
  LRESULT OnSecondEntry(WPARAM, LPARAM) {
    calls.push_back("second entry");
    return 3;
  }
  LRESULT OnPosted(WPARAM wParam, LPARAM lParam) {
    postedWParam = wParam;
    postedLParam = lParam;
    return 0;
  }
  LRESULT OnRegistered(WPARAM, LPARAM) {
    calls.push_back("registered");
    return 4;
  }
  void OnClicked() { calls.push_back("clicked"); }
  LRESULT OnSetText(WPARAM, LPARAM) {
    calls.push_back("set text");
    return Default();
  }
  void OnTimer(UINT_PTR id) { timers.push_back(id); }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedWindow, BaseWindow)
ON_MESSAGE(kOverridden, &DerivedWindow::OnFirstEntry)
ON_MESSAGE(kOverridden, &DerivedWindow::OnSecondEntry)
ON_MESSAGE(kPosted, &DerivedWindow::OnPosted)
ON_REGISTERED_MESSAGE(kRegistered, &DerivedWindow::OnRegistered)
ON_BN_CLICKED(kButtonId, &DerivedWindow::OnClicked)
ON_MESSAGE(WM_SETTEXT, &DerivedWindow::OnSetText)
ON_WM_TIMER()
END_MESSAGE_MAP()

TEST(MessageMapTest, FirstMatchingEntryWinsThenBaseTableThenDefault) {
  StaticWindow window;
  DerivedWindow wnd;
  ASSERT_TRUE(wnd.SubclassWindow(window.get()));

  EXPECT_EQ(2, SendMessageA(window.get(), kOverridden, 0, 0));
  EXPECT_EQ(7, SendMessageA(window.get(), kBaseOnly, 3, 4));
  EXPECT_EQ(0, SendMessageA(window.get(), kUnhandled, 0, 0));
  EXPECT_EQ(4, SendMessageA(window.get(), kRegistered, 0, 0));
  EXPECT_EQ(0, SendMessageA(window.get(), kOtherRegistered, 0, 0));
  EXPECT_EQ((std::vector<std::string>{"first entry", "base only", "registered"}), wnd.calls);
}

TEST(MessageMapTest, CommandsMatchIdAndNotificationCode) {
  StaticWindow window;
  DerivedWindow wnd;
  ASSERT_TRUE(wnd.SubclassWindow(window.get()));

  SendMessageA(window.get(), WM_COMMAND, MAKEWPARAM(kButtonId, BN_CLICKED), 0);
  SendMessageA(window.get(), WM_COMMAND, MAKEWPARAM(kButtonId, BN_SETFOCUS), 0);
  SendMessageA(window.get(), WM_COMMAND, MAKEWPARAM(kButtonId + 1, BN_CLICKED), 0);
  SendMessageA(window.get(), WM_COMMAND, MAKEWPARAM(kBaseCommandId, 0), 0);
  EXPECT_EQ((std::vector<std::string>{"clicked", "base command"}), wnd.calls);
}

TEST(MessageMapTest, DefaultHandsTheMessageToThePreviousProcedure) {
  StaticWindow window;
  DerivedWindow wnd;
  ASSERT_TRUE(wnd.SubclassWindow(window.get()));

  wnd.SetWindowText("kept by the static");
  std::string text;
  wnd.GetWindowText(text);
  EXPECT_EQ("kept by the static", text);
  EXPECT_EQ(std::vector<std::string>{"set text"}, wnd.calls);
}

TEST(MessageMapTest, PostedMessagesAndTimersKeepTheirParameters) {
  StaticWindow window;
  DerivedWindow wnd;
  ASSERT_TRUE(wnd.SubclassWindow(window.get()));

  // A pointer-sized wParam and a negative lParam must arrive whole.
  const WPARAM wide = static_cast<WPARAM>(0x123456789ull);
  ASSERT_TRUE(wnd.PostMessage(kPosted, wide, -7));
  wnd.SetTimer(9, 1);
  ASSERT_TRUE(platform_test::PumpUntil([&] { return !wnd.timers.empty(); }));
  wnd.KillTimer(9);
  EXPECT_EQ(wide, wnd.postedWParam);
  EXPECT_EQ(-7, wnd.postedLParam);
  EXPECT_EQ(9u, wnd.timers.front());
}

// One handler of each conventional kind, recording what it was called with.
class HandlerKindsWindow : public CWnd {
 public:
  UINT mouseFlags = 0;
  CPoint mousePoint;
  HWND cursorWindow = nullptr;
  UINT hitTest = 0;
  UINT cursorMessage = 0;
  HDC erasedDC = nullptr;
  int paints = 0;
  int width = 0;
  int height = 0;
  HCURSOR dragIcon = LoadCursor(nullptr, IDC_ARROW);

 protected:
  void OnMouseMove(UINT flags, CPoint point) {
    mouseFlags = flags;
    mousePoint = point;
  }
  BOOL OnSetCursor(CWnd* wnd, UINT hit, UINT message) {
    cursorWindow = wnd->m_hWnd;
    hitTest = hit;
    cursorMessage = message;
    return TRUE;
  }
  BOOL OnEraseBkgnd(CDC* dc) {
    erasedDC = dc->m_hDC;
    return TRUE;
  }
  void OnPaint() {
    CPaintDC dc(this);
    ++paints;
  }
  void OnSize(UINT, int cx, int cy) {
    width = cx;
    height = cy;
  }
  HCURSOR OnQueryDragIcon() { return dragIcon; }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(HandlerKindsWindow, CWnd)
ON_WM_MOUSEMOVE()
ON_WM_SETCURSOR()
ON_WM_ERASEBKGND()
ON_WM_PAINT()
ON_WM_SIZE()
ON_WM_QUERYDRAGICON()
END_MESSAGE_MAP()

TEST(MessageMapTest, EachKindOfHandlerGetsItsParametersUnpacked) {
  StaticWindow window;
  HandlerKindsWindow wnd;
  ASSERT_TRUE(wnd.SubclassWindow(window.get()));

  // Coordinates left of or above the client area are negative.
  wnd.SendMessage(WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, MAKELPARAM(-3, 7));
  EXPECT_EQ(static_cast<UINT>(MK_LBUTTON | MK_SHIFT), wnd.mouseFlags);
  EXPECT_EQ(-3, wnd.mousePoint.x);
  EXPECT_EQ(7, wnd.mousePoint.y);

  EXPECT_EQ(TRUE, wnd.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(window.get()),
                                  MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  EXPECT_EQ(window.get(), wnd.cursorWindow);
  EXPECT_EQ(static_cast<UINT>(HTCLIENT), wnd.hitTest);
  EXPECT_EQ(static_cast<UINT>(WM_MOUSEMOVE), wnd.cursorMessage);

  CClientDC dc(&wnd);
  EXPECT_EQ(TRUE, wnd.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC)));
  EXPECT_EQ(dc.m_hDC, wnd.erasedDC);

  wnd.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(500, 220));
  EXPECT_EQ(500, wnd.width);
  EXPECT_EQ(220, wnd.height);

  wnd.SendMessage(WM_PAINT);
  EXPECT_EQ(1, wnd.paints);
  EXPECT_EQ(reinterpret_cast<LRESULT>(wnd.dragIcon), wnd.SendMessage(WM_QUERYDRAGICON));
}

TEST(WindowBindingTest, OneObjectPerWindowUntilUnsubclassed) {
  StaticWindow window;
  const auto original = GetWindowLongPtrA(window.get(), GWLP_WNDPROC);
  DerivedWindow first;
  DerivedWindow second;
  ASSERT_TRUE(first.SubclassWindow(window.get()));
  EXPECT_FALSE(second.SubclassWindow(window.get()));
  EXPECT_EQ(&first, CWnd::FromHandlePermanent(window.get()));

  EXPECT_EQ(window.get(), first.UnsubclassWindow());
  EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(window.get()));
  EXPECT_EQ(original, GetWindowLongPtrA(window.get(), GWLP_WNDPROC));
  EXPECT_EQ(0, SendMessageA(window.get(), kOverridden, 0, 0));
  EXPECT_TRUE(first.calls.empty());

  ASSERT_TRUE(second.SubclassWindow(window.get()));
  EXPECT_EQ(2, SendMessageA(window.get(), kOverridden, 0, 0));
}

TEST(WindowBindingTest, DestroyingEitherSideEndsTheBinding) {
  StaticWindow survivor;
  {
    DerivedWindow wnd;
    ASSERT_TRUE(wnd.SubclassWindow(survivor.get()));
  }
  EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(survivor.get()));
  EXPECT_EQ(0, SendMessageA(survivor.get(), kOverridden, 0, 0));

  DerivedWindow wnd;
  HWND doomed = nullptr;
  {
    StaticWindow window;
    doomed = window.get();
    ASSERT_TRUE(wnd.SubclassWindow(doomed));
  }
  EXPECT_EQ(nullptr, wnd.m_hWnd);
  EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(doomed));
}

// A subclass installed over the framework's (as a tooltip or a test driver may do) must keep
// working when the object lets go, since it still calls the framework's procedure.
TEST(WindowBindingTest, ForeignSubclassOnTopKeepsForwarding) {
  static WNDPROC below = nullptr;
  const WNDPROC foreign = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
    return message == kUnhandled ? 42 : CallWindowProcA(below, hwnd, message, wParam, lParam);
  };
  StaticWindow window;
  {
    DerivedWindow wnd;
    ASSERT_TRUE(wnd.SubclassWindow(window.get()));
    below = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(foreign)));
  }
  EXPECT_EQ(42, SendMessageA(window.get(), kUnhandled, 0, 0));
  SetWindowTextA(window.get(), "still reaches the static");
  char text[64] = {};
  GetWindowTextA(window.get(), text, sizeof(text));
  EXPECT_STREQ("still reaches the static", text);
}

}  // namespace
