// Must not compile: WM_TIMER passes a pointer-sized timer id, and a handler taking a 32-bit one
// would silently lose the high half if its member pointer were cast to fit.
#include "framework/framework.h"

class WrongTimerHandler : public CWnd {
 protected:
  void OnTimer(UINT id);

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(WrongTimerHandler, CWnd)
ON_WM_TIMER()
END_MESSAGE_MAP()

void WrongTimerHandler::OnTimer(UINT) {}
