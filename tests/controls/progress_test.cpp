#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <vector>

#include "controls/skin_progress_ctrl.h"
#include "skin_fixture.h"

namespace {

constexpr COLORREF kDark = RGB(50, 50, 50);
constexpr int kTile = 10;

// Every pixel of the tile its own colour, so a tile placed or cut wrongly shows.
COLORREF TileAt(int x, int y) {
  return RGB(100 + 10 * x, 100 + 10 * y, 30);
}

HBITMAP MakeTile() {
  std::vector<DWORD> pixels;
  for (int y = 0; y < kTile; ++y) {
    for (int x = 0; x < kTile; ++x) {
      const COLORREF colour = TileAt(x, y);
      pixels.push_back(RGB(GetBValue(colour), GetGValue(colour), GetRValue(colour)));
    }
  }
  return CreateBitmap(kTile, kTile, 1, 32, pixels.data());
}

TEST(SkinProgressCtrlTest, FillsTheBarWithTilesForThePositionsShareOfTheRange) {
  struct Row {
    DWORD style;
    CSize client;
    int lower;
    int upper;
    int position;
    int filled;
  };
  const CSize wide(302, 12);
  const Row rows[] = {
      {0, wide, 0, 100, 0, 0},
      {0, wide, 0, 100, 1, 2},
      {0, wide, 0, 100, 33, 98},
      {0, wide, 0, 100, 50, 149},
      // A full bar leaves its last column dark.
      {0, wide, 0, 100, 100, 299},
      {0, wide, 0, 100, 150, 299},
      {0, wide, 0, 100, -5, 0},
      {0, wide, 5, 5, 5, 0},
      // A positive lower bound: the share counts from it.
      {0, wide, 10, 20, 15, 149},
      // A frame and a margin around a bar 5 pixels high: tiles cut to their top rows.
      {WS_BORDER, CSize(304, 9), 0, 100, 50, 149},
      // Filled from the bottom up.
      {PBS_VERTICAL, CSize(12, 302), 0, 100, 50, 149},
  };
  controls_test::SkinParent& parent = controls_test::FreshParent();
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << "position " << row.position << " style " << row.style);
    const int border = (row.style & WS_BORDER) ? 1 : 0;
    CSkinProgressCtrl bar;
    ASSERT_TRUE(bar.SubclassWindow(
        parent.CreateChild(PROGRESS_CLASSA, "", row.style,
                           CRect(0, 0, row.client.cx + 2 * border, row.client.cy + 2 * border))));
    ASSERT_EQ(0, bar.SetBarBitmapHandle(MakeTile()));
    bar.SetRange(row.lower, row.upper);
    bar.SetPos(row.position);
    CRect client;
    bar.GetClientRect(&client);
    ASSERT_EQ(row.client.cx, client.Width());
    CMemoryDC canvas(controls_test::ScreenDC(), client.Width(), client.Height());
    bar.Paint(canvas, client);

    CRect area = client;
    area.DeflateRect(1 + border, 1 + border);
    auto pixel = [&](int x, int y) { return GetPixel(canvas.m_hDC, area.left + x, area.top + y); };
    const bool vertical = (row.style & PBS_VERTICAL) != 0;
    const int length = vertical ? area.Height() : area.Width();
    const int across = (vertical ? area.Width() : area.Height()) - 1;
    // Along the bar, at its first and last line across: tiles from the fill's corner, then dark.
    for (int along = 0; along < length; ++along) {
      const int fromFill = vertical ? along - (length - row.filled) : along;
      const bool inFill = fromFill >= 0 && fromFill < row.filled;
      for (int side : {0, across}) {
        const COLORREF expected = !inFill    ? kDark
                                  : vertical ? TileAt(side % kTile, fromFill % kTile)
                                             : TileAt(fromFill % kTile, side % kTile);
        const COLORREF seen = vertical ? pixel(side, along) : pixel(along, side);
        ASSERT_EQ(expected, seen) << "at " << along << ", " << side;
      }
    }
    // The margin, and the frame of a bordered bar.
    EXPECT_EQ(kDark, pixel(-1, -1));
    EXPECT_EQ(kDark, pixel(area.Width(), area.Height()));
    EXPECT_EQ(kDark, GetPixel(canvas.m_hDC, 0, client.Height() - 1));
    bar.DestroyWindow();
  }
}

}  // namespace
