#include "framework/win_app.h"

#include "framework/app_name.h"
#include "platform/system_library_win32.h"

namespace {

CWinApp* g_app = nullptr;

}  // namespace

CWinApp::CWinApp() : m_hInstance(GetModuleHandleA(nullptr)), m_strAppName(fw::ProgramName()) {
  m_pszAppName = m_strAppName.c_str();
  g_app = this;
}

CWinApp::~CWinApp() {
  if (g_app == this) {
    g_app = nullptr;
  }
}

CWinApp* AfxGetApp() {
  return g_app;
}

HINSTANCE AfxGetResourceHandle() {
  return GetModuleHandleA(nullptr);
}

// Defined with the application class so that a program with an application object links it.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Before any window, COM or socket: nothing the system loads for them may come from the
  // program's folder.
  platform::RestrictDllSearchToSystemFolder();
  if (g_app != nullptr) {
    g_app->InitInstance();
  }
  return 0;
}
