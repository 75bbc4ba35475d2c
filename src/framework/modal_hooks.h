#pragma once

#include <windows.h>

class CWnd;

namespace fw {

// While it lives, the first dialog window that the calling thread creates is bound to the given
// object as the window is created, before its first message.
class DialogCreationHook {
 public:
  explicit DialogCreationHook(CWnd& dialog);
  ~DialogCreationHook();
  DialogCreationHook(const DialogCreationHook&) = delete;
  DialogCreationHook& operator=(const DialogCreationHook&) = delete;

 private:
  HHOOK m_hook;
};

// While one lives on the calling thread, the dialog manager's modal loop offers each message to
// PreTranslateMessage of the objects bound to its window and that window's parents. Whoever needs
// that holds one for as long as it does: the hook costs every message of the loop a call (under
// Wine a round trip to the wineserver), so none is installed when nothing asks.
class PreTranslateHook {
 public:
  PreTranslateHook();
  ~PreTranslateHook();
  PreTranslateHook(const PreTranslateHook&) = delete;
  PreTranslateHook& operator=(const PreTranslateHook&) = delete;
};

}  // namespace fw
