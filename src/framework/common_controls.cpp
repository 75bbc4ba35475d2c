#include "framework/common_controls.h"

#include <windows.h>

#include <commctrl.h>

namespace fw {

void EnsureCommonControls() {
  static const BOOL registered = [] {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    return InitCommonControlsEx(&controls);
  }();
  (void)registered;
}

}  // namespace fw
