#include <string>

#include "framework/app_name.h"
#include "framework/win_app.h"
#include "framework/wnd.h"

int AfxMessageBox(const char* text, UINT type) {
  const CWinApp* app = AfxGetApp();
  const HWND owner =
      app != nullptr && app->m_pMainWnd != nullptr ? app->m_pMainWnd->GetSafeHwnd() : nullptr;
  const std::string caption = app != nullptr ? app->m_pszAppName : fw::ProgramName();
  return MessageBoxA(owner, text, caption.c_str(), type);
}

int AfxMessageBox(UINT stringId, UINT type) {
  // Resource strings are at most 4,096 characters long.
  char text[4097] = {};
  LoadStringA(AfxGetResourceHandle(), stringId, text, sizeof(text));
  return AfxMessageBox(text, type);
}
