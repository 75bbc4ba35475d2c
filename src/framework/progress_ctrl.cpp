#include "framework/progress_ctrl.h"

#include <commctrl.h>

void CProgressCtrl::SetRange(int lower, int upper) {
  SendMessage(PBM_SETRANGE32, lower, upper);
}

int CProgressCtrl::SetPos(int position) {
  return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(position)));
}

int CProgressCtrl::GetPos() const {
  return static_cast<int>(::SendMessageA(m_hWnd, PBM_GETPOS, 0, 0));
}

int CProgressCtrl::SetStep(int step) {
  return static_cast<int>(SendMessage(PBM_SETSTEP, static_cast<WPARAM>(step)));
}
