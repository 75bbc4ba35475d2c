#include "controls/track_mouse_leave.h"

#include <commctrl.h>

BOOL TrackMouseLeave(HWND window) {
  TRACKMOUSEEVENT request{sizeof(request), TME_LEAVE, window, 1};
  return _TrackMouseEvent(&request);
}
