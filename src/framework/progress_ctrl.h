#pragma once

#include "framework/wnd.h"

// The common progress bar. The control keeps every position within its range.
class CProgressCtrl : public CWnd {
 public:
  void SetRange(int lower, int upper);
  // Returns the previous position.
  int SetPos(int position);
  int GetPos() const;
  int SetStep(int step);
};
