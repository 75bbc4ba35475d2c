#pragma once

#include <windows.h>

#include <string>

class CWnd;

// The application object: the program defines one global instance of a class derived from it.
// The framework's WinMain calls its InitInstance and then ends the program; there is no message
// loop beyond those of the dialogs InitInstance runs.
class CWinApp {
 public:
  CWinApp();
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  virtual BOOL InitInstance() = 0;

  // The program file's name without its extension; the caption of AfxMessageBox.
  const char* m_pszAppName;
  CWnd* m_pMainWnd = nullptr;
  HINSTANCE m_hInstance;

 private:
  std::string m_strAppName;
};

// The application object, or null when there is none.
CWinApp* AfxGetApp();
// The module whose resources (templates, bitmaps, strings) the program uses: its own.
HINSTANCE AfxGetResourceHandle();

// A message box owned by the main window, with the application name as caption.
int AfxMessageBox(const char* text, UINT type = MB_OK);
// The same with a string resource as text.
int AfxMessageBox(UINT stringId, UINT type = MB_OK);
