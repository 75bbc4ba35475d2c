#include <gtest/gtest.h>

#include "controls/button_ex1.h"
#include "platform/test_support.h"
#include "skin_fixture.h"
#include "test_resources.h"

namespace {

using controls_test::kParentRect;
using controls_test::PatternAt;

constexpr COLORREF kNormal = RGB(200, 0, 0);
constexpr COLORREF kHover = RGB(0, 200, 0);
constexpr COLORREF kPressed = RGB(0, 0, 200);

TEST(ButtonEx1Test, TakesTheNormalFacesSizeAndDrawsEachStatesFacesOverTheParent) {
  controls_test::SkinParent& parent = controls_test::FreshParent();
  CButtonEx1 button;
  ASSERT_TRUE(button.SubclassWindow(
      parent.CreateChild("BUTTON", "", WS_VISIBLE | BS_OWNERDRAW, CRect(30, 40, 130, 90))));
  button.SetBitmaps(IDB_FACE_WIDE, IDB_FACE_HOVER, IDB_FACE_PRESSED);
  EXPECT_EQ("30,40 20x10", controls_test::Describe(RectInParent(button.m_hWnd)));
  button.SetBitmaps(IDB_FACE_NORMAL, IDB_FACE_HOVER, IDB_FACE_PRESSED);
  const CRect item(0, 0, 12, 8);
  EXPECT_EQ("30,40 12x8", controls_test::Describe(RectInParent(button.m_hWnd)));

  CMemoryDC canvas(controls_test::ScreenDC(), item.Width(), item.Height());
  DRAWITEMSTRUCT draw{ODT_BUTTON, 0, 0, ODA_DRAWENTIRE, 0, button.m_hWnd, canvas.m_hDC, item, 0};
  // The pressed face is transparent on its left half, every face at its corners.
  auto expectFaces = [&](UINT state, COLORREF left, COLORREF right) {
    draw.itemState = state;
    button.DrawItem(&draw);
    EXPECT_EQ(left, GetPixel(canvas.m_hDC, 2, 4));
    EXPECT_EQ(right, GetPixel(canvas.m_hDC, 9, 4));
    EXPECT_EQ(PatternAt(30, 40), GetPixel(canvas.m_hDC, 0, 0));
    EXPECT_EQ(PatternAt(41, 47), GetPixel(canvas.m_hDC, 11, 7));
  };
  {
    SCOPED_TRACE("outside");
    expectFaces(0, kNormal, kNormal);
    expectFaces(ODS_SELECTED, PatternAt(32, 44), kPressed);
    // Disabled changes nothing, nor does focus while the keyboard cues are hidden.
    expectFaces(ODS_DISABLED, kNormal, kNormal);
    expectFaces(ODS_FOCUS | ODS_NOFOCUSRECT, kNormal, kNormal);
    // With the cues shown the focus is framed two pixels inside the edges, the faces elsewhere.
    draw.itemState = ODS_FOCUS;
    button.DrawItem(&draw);
    int framed = 0;
    for (int x = 2; x <= 9; ++x) {
      framed += GetPixel(canvas.m_hDC, x, 2) != kNormal ? 1 : 0;
    }
    EXPECT_GE(framed, 4);
    EXPECT_EQ(kNormal, GetPixel(canvas.m_hDC, 4, 4));
    EXPECT_EQ(PatternAt(30, 40), GetPixel(canvas.m_hDC, 0, 0));
  }
  // The dialog manager may make it the default and take that back: it stays owner-drawn, and
  // answers as a push button, so that Enter presses it while it has the focus.
  button.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  button.SendMessage(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), button.GetStyle() & BS_TYPEMASK);
  EXPECT_NE(0, button.SendMessage(WM_GETDLGCODE) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON));
  // A quick second click is a click, not a double-click that nothing hears.
  for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
    button.SendMessage(message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(5, 4));
  }
  EXPECT_EQ(2, parent.clicks);
  // The pointer moves onto the button, and the leave notice comes only once it is gone.
  SetCursorPos(kParentRect.left + 35, kParentRect.top + 44);
  button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 4));
  {
    SCOPED_TRACE("inside");
    expectFaces(0, kHover, kHover);
    expectFaces(ODS_SELECTED, kHover, kPressed);
  }
  SetCursorPos(kParentRect.right + 100, kParentRect.bottom + 100);
  draw.itemState = 0;
  EXPECT_TRUE(platform_test::PumpUntil([&] {
    button.DrawItem(&draw);
    return GetPixel(canvas.m_hDC, 2, 4) == kNormal;
  }));
}

}  // namespace
