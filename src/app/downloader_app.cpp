#include "app/downloader_app.h"

#include <winsock2.h>

#include "app/downloader_dlg.h"
#include "app/single_instance.h"
#include "resource.h"

CDownloaderApp theApp;

BOOL CDownloaderApp::InitInstance() {
  CSingleInstance instance;
  if (!instance.Claim(CDownloaderDlg::kWindowTitle)) {
    return FALSE;
  }
  WSADATA sockets;
  if (WSAStartup(MAKEWORD(1, 1), &sockets) != 0) {
    AfxMessageBox(IDS_SOCKETS_INIT_FAILED, MB_OK);
    return FALSE;
  }
  {
    CDownloaderDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    // Nothing may own a message box by a window that is gone.
    m_pMainWnd = nullptr;
  }
  // FALSE: the program ends here, without a message loop of its own.
  return FALSE;
}
