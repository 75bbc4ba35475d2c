#pragma once

#include <vector>

#include "framework/framework.h"

namespace framework_test {

constexpr UINT kPrivateMessage = WM_USER + 0x85;

// An owner-drawn button that records what reaches it.
class RecordingButton : public CButton {
 public:
  void DrawItem(DRAWITEMSTRUCT* item) override;

  HWND hwndWhenBound = nullptr;
  std::vector<UINT> drawnItemIds;
  int privateMessages = 0;

 protected:
  void PreSubclassWindow() override;
  LRESULT OnPrivateMessage(WPARAM, LPARAM);

  DECLARE_MESSAGE_MAP()
};

// A static that answers its own colour requests (unless told to decline) and its clicks.
class ColouredStatic : public CStatic {
 public:
  static constexpr COLORREF kTextColour = RGB(9, 8, 7);

  CBrush brush{RGB(1, 2, 3)};
  bool declines = false;
  std::vector<UINT> colourRequests;
  int clicks = 0;

 protected:
  HBRUSH CtlColor(CDC* dc, UINT ctlColor);
  void OnClicked();

  DECLARE_MESSAGE_MAP()
};

}  // namespace framework_test
