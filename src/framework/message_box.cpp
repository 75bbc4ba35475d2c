#include <iterator>
#include <string>

#include "framework/app_name.h"
#include "framework/win_app.h"
#include "framework/wnd.h"
#include "platform/wide_win32.h"

int AfxMessageBox(const char* text, UINT type) {
  const CWinApp* app = AfxGetApp();
  const HWND owner =
      app != nullptr && app->m_pMainWnd != nullptr ? app->m_pMainWnd->GetSafeHwnd() : nullptr;
  const std::string caption = app != nullptr ? app->m_pszAppName : fw::ProgramName();
  return MessageBoxW(owner, platform::WideText(text).c_str(), platform::WideText(caption).c_str(),
                     type);
}

int AfxMessageBox(UINT stringId, UINT type) {
  // Resource strings are at most 4,096 characters long.
  wchar_t text[4097] = {};
  LoadStringW(AfxGetResourceHandle(), stringId, text, static_cast<int>(std::size(text)));
  return AfxMessageBox(platform::Utf8Text(text).c_str(), type);
}
