#pragma once

#include "framework/win_app.h"

// The application: starts the sockets layer and runs the main window; the program ends when the
// window does.
class CDownloaderApp : public CWinApp {
 public:
  BOOL InitInstance() override;
};
