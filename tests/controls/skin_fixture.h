#pragma once

#include <string>

#include "framework/framework.h"

namespace controls_test {

// Where the parent window lies on the screen, and its size.
inline const CRect kParentRect(100, 100, 500, 400);
// What the parent's erase paints (its class's brush).
constexpr COLORREF kEraseColour = RGB(1, 2, 3);

// The parent's background: no two nearby pixels alike, so a piece taken from the wrong place
// shows. Its blue is 0x80, which no colour of the tests' faces, tiles or texts has.
COLORREF PatternAt(int x, int y);

// The screen's DC, for canvases compatible with it.
CDC& ScreenDC();

// A shown top-level window at kParentRect that paints the pattern, gives it to its transparent
// children through WM_PARENTBKGND (unless told not to answer), and reflects its children's
// colour requests and drawing to them like any framework window.
class SkinParent : public CWnd {
 public:
  SkinParent();
  // Back to no children, answering.
  void Reset();

  HWND CreateChild(const char* className, const char* text, DWORD style, const CRect& rect,
                   int id = 0);

  bool answersBackground = true;
  // BN_CLICKED notifications from the children.
  int clicks = 0;

 protected:
  void OnPaint();
  LRESULT OnParentBkgnd(WPARAM wParam, LPARAM lParam);
  LRESULT OnCommand(WPARAM wParam, LPARAM lParam);

 private:
  CMemoryDC m_background;

  DECLARE_MESSAGE_MAP()
};

// The suite's one parent window, reset: showing a window the first time and hiding it for good
// each take Wine seconds without a window manager.
SkinParent& FreshParent();

// "left,top widthxheight"
std::string Describe(const RECT& rect);

// Makes ".htm" files open with the command line (none: their class has no command). The
// suite's Wine prefix is its own, so the registration goes with it.
void RegisterWebPageCommand(const char* command);
// The path of the recorder that stands in for a browser, in quotes.
std::string QuotedRecorderPath();

}  // namespace controls_test
