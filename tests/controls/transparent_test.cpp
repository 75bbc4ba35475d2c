#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "controls/button_ex1.h"
#include "controls/skin_progress_ctrl.h"
#include "controls/static_ex.h"
#include "controls/transparent_ctrl.h"
#include "skin_fixture.h"
#include "test_resources.h"

namespace {

using controls_test::PatternAt;
using controls_test::SkinParent;

constexpr char kAnsweringClass[] = "MoraventSkipRefreshChild";

constexpr char kAskedProperty[] = "moravent asked";

// Answers WM_SKIPREFRESH with its GWLP_USERDATA and keeps a mark of having been asked.
LRESULT CALLBACK AnsweringChild(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SKIPREFRESH) {
    SetPropA(hwnd, kAskedProperty, hwnd);
    return GetWindowLongPtrA(hwnd, GWLP_USERDATA);
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

TEST(TransparentProtocolTest, RefreshWalkRepaintsVisibleMarkedChildrenThatDoNotDecline) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = AnsweringChild;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kAnsweringClass;
  RegisterClassA(&windowClass);

  struct Row {
    bool visible;
    bool marked;
    LONG_PTR answer;
    bool asked;
    bool repainted;
  };
  const Row rows[] = {{false, true, 0, false, false},
                      {true, false, 0, false, false},
                      {true, true, 1, true, false},
                      {true, true, 0, true, true},
                      {true, true, 2, true, true}};
  SkinParent& parent = controls_test::FreshParent();
  std::vector<HWND> children;
  for (const Row& row : rows) {
    const HWND child =
        parent.CreateChild(kAnsweringClass, "", row.visible ? WS_VISIBLE : 0, CRect(0, 0, 10, 10));
    SetWindowLongPtrA(child, GWLP_USERDATA, row.answer);
    if (row.marked) {
      EXPECT_EQ(1, TagTransparentCtrl(child));
      EXPECT_EQ(0, TagTransparentCtrl(child));
    }
    EXPECT_EQ(row.marked ? 1 : 0, IsTransparentCtrl(child));
    ValidateRect(child, nullptr);
    children.push_back(child);
  }
  RefreshTransparentChildren(parent.m_hWnd);
  for (size_t i = 0; i < children.size(); ++i) {
    EXPECT_EQ(rows[i].asked, GetPropA(children[i], kAskedProperty) != nullptr) << "row " << i;
    EXPECT_EQ(rows[i].repainted, GetUpdateRect(children[i], nullptr, FALSE) != FALSE)
        << "row " << i;
  }
}

// Sees a marked window's last message after the framework's procedure has handled it.
WNDPROC g_boundProcedure = nullptr;
int g_markAfterNcDestroy = -1;
LRESULT CALLBACK WatchNcDestroy(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CallWindowProcA(g_boundProcedure, hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    g_markAfterNcDestroy = IsTransparentCtrl(hwnd);
  }
  return result;
}

template <class Control>
void ExpectMarkedForItsLifetime(SkinParent& parent, const char* windowClass, const char* name) {
  Control control;
  ASSERT_TRUE(control.SubclassWindow(parent.CreateChild(windowClass, "", 0, CRect(0, 0, 9, 9))));
  EXPECT_STREQ(name, control.GetRuntimeClass()->m_lpszClassName);
  EXPECT_TRUE(control.IsKindOf(RUNTIME_CLASS(CWnd)));
  EXPECT_EQ(1, IsTransparentCtrl(control.m_hWnd));
  g_boundProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(control.m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchNcDestroy)));
  g_markAfterNcDestroy = -1;
  DestroyWindow(control.m_hWnd);
  EXPECT_EQ(0, g_markAfterNcDestroy) << name;
}

TEST(TransparentProtocolTest, ControlsAreMarkedUntilTheirWindowIsDestroyed) {
  SkinParent& parent = controls_test::FreshParent();
  ExpectMarkedForItsLifetime<CStaticEx>(parent, "STATIC", "CStaticEx");
  ExpectMarkedForItsLifetime<CButtonEx1>(parent, "BUTTON", "CButtonEx1");
  EXPECT_FALSE(CStaticEx().IsKindOf(RUNTIME_CLASS(CButtonEx1)));
}

TEST(StaticExTest, PaintsThePiecesOfTheParentUnderItThenOneLineOfText) {
  constexpr COLORREF kText = RGB(0, 250, 0);
  const CRect place(20, 30, 80, 80);
  SkinParent& parent = controls_test::FreshParent();
  CStaticEx text;
  ASSERT_TRUE(text.SubclassWindow(parent.CreateChild("STATIC", "", WS_VISIBLE, place)));
  text.SetTextColor(kText);
  CMemoryDC canvas(controls_test::ScreenDC(), place.Width(), place.Height());
  auto count = [&](auto&& isExpected) {
    int pixels = 0;
    for (int y = 0; y < place.Height(); ++y) {
      for (int x = 0; x < place.Width(); ++x) {
        pixels += isExpected(x, y, GetPixel(canvas.m_hDC, x, y)) ? 1 : 0;
      }
    }
    return pixels;
  };
  const CRect client(0, 0, place.Width(), place.Height());
  text.Paint(canvas, client);
  const int area = place.Width() * place.Height();
  EXPECT_EQ(area, count([&](int x, int y, COLORREF c) {
              return c == PatternAt(place.left + x, place.top + y);
            }));

  // One line at the top: the line break starts no second one.
  text.SetWindowText("W\nW");
  text.Paint(canvas, client);
  TEXTMETRICA metrics{};
  GetTextMetricsA(canvas.m_hDC, &metrics);
  EXPECT_GT(count([&](int, int y, COLORREF c) { return c == kText && y < metrics.tmHeight; }), 0);
  EXPECT_EQ(0, count([&](int, int y, COLORREF c) { return c == kText && y >= metrics.tmHeight; }));

  // An ampersand is drawn, not taken for a mnemonic: the text reaches past "WW".
  text.SetWindowText("W&W");
  text.Paint(canvas, client);
  SIZE bare{};
  GetTextExtentPoint32A(canvas.m_hDC, "WW", 2, &bare);
  EXPECT_GT(count([&](int x, int, COLORREF c) { return c == kText && x > bare.cx + 1; }), 0);

  // A parent that does not answer erases into the control instead.
  parent.answersBackground = false;
  text.SetWindowText("");
  text.Paint(canvas, client);
  EXPECT_EQ(area, count([](int, int, COLORREF c) { return c == controls_test::kEraseColour; }));
}

// The same pictures reach the screen through the windows' own messages.
TEST(SkinnedControlsTest, PaintWhenTheirWindowsAreRepainted) {
  SkinParent& parent = controls_test::FreshParent();
  CStaticEx text;
  ASSERT_TRUE(
      text.SubclassWindow(parent.CreateChild("STATIC", "", WS_VISIBLE, CRect(10, 10, 60, 30))));
  CButtonEx1 button;
  ASSERT_TRUE(button.SubclassWindow(
      parent.CreateChild("BUTTON", "", WS_VISIBLE | BS_OWNERDRAW, CRect(70, 10, 90, 30))));
  button.SetBitmaps(IDB_FACE_NORMAL, IDB_FACE_HOVER, IDB_FACE_PRESSED);
  CSkinProgressCtrl bar;
  ASSERT_TRUE(bar.SubclassWindow(
      parent.CreateChild(PROGRESS_CLASSA, "", WS_VISIBLE, CRect(10, 50, 60, 60))));
  // A green tile with magenta corners.
  ASSERT_EQ(0, bar.SetBarBitmap(IDB_FACE_HOVER));
  bar.SetPos(100);
  RedrawWindow(parent.m_hWnd, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);

  auto pixel = [](CWnd& control, int x, int y) {
    const CClientDC dc(&control);
    return GetPixel(dc.m_hDC, x, y);
  };
  EXPECT_EQ(PatternAt(10, 10), pixel(text, 0, 0));
  EXPECT_EQ(PatternAt(59, 29), pixel(text, 49, 19));
  EXPECT_EQ(PatternAt(70, 10), pixel(button, 0, 0));
  EXPECT_EQ(RGB(200, 0, 0), pixel(button, 5, 4));
  EXPECT_EQ(RGB(50, 50, 50), pixel(bar, 0, 0));
  EXPECT_EQ(RGB(0, 200, 0), pixel(bar, 2, 2));
}

}  // namespace
