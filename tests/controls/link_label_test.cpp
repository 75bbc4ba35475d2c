#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include <algorithm>
#include <map>
#include <string>

#include "controls/link_label.h"
#include "platform/test_support.h"
#include "skin_fixture.h"

namespace {

using controls_test::kParentRect;
using controls_test::SkinParent;

constexpr char kAddress[] = "moravent-test:page";
constexpr COLORREF kLink = RGB(0, 0, 238);
constexpr COLORREF kVisited = RGB(85, 26, 139);
constexpr COLORREF kHover = RGB(255, 0, 0);
constexpr COLORREF kBackdrop = RGB(10, 20, 30);
constexpr int kLinkId = 1027;

HWND CreateLabel(SkinParent& parent, DWORD style, const char* text) {
  const HWND label =
      parent.CreateChild("STATIC", text, WS_VISIBLE | style, CRect(40, 20, 240, 60), kLinkId);
  SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  return label;
}

TEST(LinkLabelTest, FitsToItsTextKeepingTheEdgeOrCentreItIsAlignedTo) {
  CClientDC& screen = static_cast<CClientDC&>(controls_test::ScreenDC());
  const ScopedSelection font(screen, GetStockObject(DEFAULT_GUI_FONT));
  const CSize text = screen.GetTextExtent("Click Here");
  // Placed at 40,20 200x40; the Part's arithmetic, halves truncated.
  const int halfWidth = (200 - text.cx) / 2;
  const int halfHeight = (40 - text.cy) / 2;
  const struct {
    DWORD style;
    CRect expected;
  } rows[] = {
      {SS_LEFT, CRect(40, 20, 40 + text.cx, 20 + text.cy)},
      {SS_CENTER, CRect(40 + halfWidth, 20, 240 - halfWidth, 20 + text.cy)},
      {SS_RIGHT, CRect(240 - text.cx, 20, 240, 20 + text.cy)},
      {SS_CENTERIMAGE, CRect(40, 20 + halfHeight, 40 + text.cx, 60 - halfHeight)},
  };
  SkinParent& parent = controls_test::FreshParent();
  for (const auto& row : rows) {
    CLinkLabel label;
    ASSERT_TRUE(label.SubclassWindow(CreateLabel(parent, row.style, "Click Here")));
    EXPECT_EQ(controls_test::Describe(row.expected),
              controls_test::Describe(RectInParent(label.m_hWnd)))
        << "style " << row.style;
    label.DestroyWindow();
  }
}

// The label as the static paints it onto a backdrop: the colour of its text (and underline),
// the most frequent colour but the backdrop's.
COLORREF TextColour(CLinkLabel& label) {
  CRect client;
  label.GetClientRect(&client);
  CMemoryDC canvas(controls_test::ScreenDC(), client.Width(), client.Height());
  canvas.FillSolidRect(&client, kBackdrop);
  label.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.m_hDC), PRF_CLIENT);
  std::map<COLORREF, int> counts;
  for (int y = 0; y < client.Height(); ++y) {
    for (int x = 0; x < client.Width(); ++x) {
      ++counts[GetPixel(canvas.m_hDC, x, y)];
    }
  }
  counts.erase(kBackdrop);
  const auto most = std::max_element(counts.begin(), counts.end(),
                                     [](auto& a, auto& b) { return a.second < b.second; });
  return most != counts.end() ? most->first : kBackdrop;
}

// The text of the label's tool in whichever tooltip has it (a tooltip's owner is always the
// top-level window).
std::string ToolText(HWND tool) {
  char text[80] = {};
  TTTOOLINFOA info{};
  info.cbSize = TTTOOLINFOA_V2_SIZE;
  info.hwnd = tool;
  info.uId = 1;
  info.lpszText = text;
  for (HWND tip = nullptr; text[0] == '\0' && (tip = FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA,
                                                                   nullptr)) != nullptr;) {
    SendMessageA(tip, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&info));
  }
  return text;
}

std::string g_boxText;

// Runs in the message box's own loop: reads the box and closes it.
void CALLBACK AnswerMessageBox(HWND, UINT, UINT_PTR timer, DWORD) {
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND box, LPARAM timerId) {
        char className[16] = {};
        GetClassNameA(box, className, sizeof(className));
        if (std::string(className) != "#32770") {
          return TRUE;
        }
        char text[256] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
        g_boxText = text;
        KillTimer(nullptr, static_cast<UINT_PTR>(timerId));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return FALSE;
      },
      static_cast<LPARAM>(timer));
}

TEST(LinkLabelTest, ShowsTheAddressAndColoursForHoverAndTheOutcomeOfAClick) {
  SkinParent& parent = controls_test::FreshParent();
  CLinkLabel label;
  ASSERT_TRUE(label.SubclassWindow(CreateLabel(parent, SS_LEFT, "Click Here")));
  label.SetTarget(kAddress);
  label.SetUnderlineMode(CLinkLabel::kUnderlineAlways);
  EXPECT_EQ(kAddress, ToolText(label.m_hWnd));
  EXPECT_EQ(kLink, TextColour(label));
  // A link cursor, the help program's or (where it ships none) the system's hand.
  EXPECT_TRUE(label.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(label.m_hWnd),
                                MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));

  // Hovered until the hover timer finds the pointer elsewhere.
  SetCursorPos(kParentRect.right + 100, kParentRect.bottom + 100);
  label.SendMessage(WM_MOUSEMOVE);
  EXPECT_EQ(kHover, TextColour(label));
  EXPECT_TRUE(platform_test::PumpUntil([&] { return TextColour(label) == kLink; }));
  label.SetLinkColors(kLink, kVisited, CLinkLabel::kSystemHighlight);
  label.SendMessage(WM_MOUSEMOVE);
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), TextColour(label));
  EXPECT_TRUE(platform_test::PumpUntil([&] { return TextColour(label) == kLink; }));

  // The shell knows no such address; the registered browser opens it.
  controls_test::RegisterWebPageCommand((controls_test::QuotedRecorderPath() + " %1").c_str());
  label.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON);
  EXPECT_EQ(kVisited, TextColour(label));
  // Hovering wins over visited.
  label.SendMessage(WM_MOUSEMOVE);
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), TextColour(label));

  // Without a browser: the shell's error in a box, and no longer visited.
  controls_test::RegisterWebPageCommand(nullptr);
  g_boxText.clear();
  SetTimer(nullptr, 0, 20, &AnswerMessageBox);
  label.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON);
  EXPECT_EQ(CLinkLabel::OpenErrorText(SE_ERR_NOASSOC), g_boxText);
  EXPECT_EQ(kLink, TextColour(label));
}

}  // namespace
