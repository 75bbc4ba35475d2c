#include "framework/modal_hooks.h"

#include <cstring>
#include <utility>

#include "framework/wnd.h"

namespace fw {
namespace {

// The dialog object waiting for its window, per thread.
thread_local CWnd* t_dialogToBind = nullptr;

struct PreTranslateState {
  HHOOK hook = nullptr;
  int users = 0;
};
// One filter per thread, however deep modal loops nest, so a message is offered only once.
thread_local PreTranslateState t_preTranslate;

bool IsDialogWindow(HWND hwnd) {
  char className[16] = {};
  GetClassNameA(hwnd, className, sizeof(className));
  return std::strcmp(className, "#32770") == 0;
}

LRESULT CALLBACK BindDialogOnCreation(int code, WPARAM wParam, LPARAM lParam) {
  const auto hwnd = reinterpret_cast<HWND>(wParam);
  if (code == HCBT_CREATEWND && t_dialogToBind != nullptr && IsDialogWindow(hwnd)) {
    std::exchange(t_dialogToBind, nullptr)->SubclassWindow(hwnd);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool PreTranslate(MSG* msg) {
  for (HWND hwnd = msg->hwnd; hwnd != nullptr;
       hwnd = (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) != 0 ? GetParent(hwnd) : nullptr) {
    CWnd* const wnd = CWnd::FromHandlePermanent(hwnd);
    if (wnd != nullptr && wnd->PreTranslateMessage(msg)) {
      return true;
    }
  }
  return false;
}

LRESULT CALLBACK OfferToPreTranslate(int code, WPARAM wParam, LPARAM lParam) {
  if (code == MSGF_DIALOGBOX && PreTranslate(reinterpret_cast<MSG*>(lParam))) {
    return TRUE;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

DialogCreationHook::DialogCreationHook(CWnd& dialog)
    : m_hook(SetWindowsHookExA(WH_CBT, &BindDialogOnCreation, nullptr, GetCurrentThreadId())) {
  t_dialogToBind = &dialog;
}

DialogCreationHook::~DialogCreationHook() {
  UnhookWindowsHookEx(m_hook);
  // Also when no dialog window was made (a missing template).
  t_dialogToBind = nullptr;
}

PreTranslateHook::PreTranslateHook() {
  if (t_preTranslate.users++ == 0) {
    t_preTranslate.hook =
        SetWindowsHookExA(WH_MSGFILTER, &OfferToPreTranslate, nullptr, GetCurrentThreadId());
  }
}

PreTranslateHook::~PreTranslateHook() {
  if (--t_preTranslate.users == 0) {
    UnhookWindowsHookEx(t_preTranslate.hook);
    t_preTranslate.hook = nullptr;
  }
}

}  // namespace fw
