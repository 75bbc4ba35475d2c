#pragma once

#include "framework/gdi_object.h"
#include "framework/progress_ctrl.h"

// A progress bar painted from a tile bitmap: a dark area with a one-pixel margin (and a frame
// when the window has WS_BORDER), and the filled part made of the tile repeated from its
// top-left corner. Range, step and position are also passed on to the standard control beneath,
// which paints as usual while there is no tile. Asks nothing of its parent.
class CSkinProgressCtrl : public CProgressCtrl {
 public:
  // A bitmap resource of the program. 0 when it was taken or none could be loaded (standard
  // painting then), 1 when the loaded bitmap's header could not be read.
  int SetBarBitmap(UINT id, BOOL redraw = TRUE);
  // Takes ownership of the bitmap (null: back to standard painting); results as SetBarBitmap.
  int SetBarBitmapHandle(HBITMAP bitmap, BOOL redraw = TRUE);
  void SetRange(int lower, int upper);
  int SetStep(int step);
  // Clamps the position into the range; returns the previous position.
  int SetPos(int position);

  // What a paint with a tile shows, into any DC, over the client rectangle.
  void Paint(CDC& dc, const CRect& client);

 protected:
  // Takes away the 3-D edge that some systems' progress class adds, so that the bar looks the
  // same everywhere: its frame is the skin's (WS_BORDER) or none.
  void PreSubclassWindow() override;
  void OnPaint();

 private:
  CRect FillArea(const CRect& bar, DWORD style) const;

  int m_nLower = 0;
  int m_nUpper = 100;
  // |upper - lower|, never 0.
  int m_nSpan = 100;
  int m_nStep = 10;
  int m_nPos = 0;
  CBitmap m_bmpBar;
  int m_nBarWidth = 0;
  int m_nBarHeight = 0;

  DECLARE_MESSAGE_MAP()
};
