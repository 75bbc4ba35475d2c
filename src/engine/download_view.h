#pragma once

#include <string>

#include "platform/message_target.h"

// What the download is doing, for what the system shows of it beyond the window: the taskbar
// button's progress, the computer kept awake, a notice at the end.
enum class DownloadActivity {
  Preparing,     // the size is being looked up or the whole file verified: no figure yet
  Transferring,  // segments are being fetched
  Paused,
  Completed,  // the installer has its final name
  Failed,     // stopped by an error or a damaged file; the user has been told
};

// The narrow interface through which the download job and the progress monitor reach the main
// window: its texts, progress bar, tray tooltip, message boxes, update lock, and the message
// target that carries the timers and the workers' messages. The dialog implements it with its
// controls; tests implement it with a recorder.
class IDownloadView {
 public:
  virtual ~IDownloadView() = default;

  // The status line (control 1016) and the time label (control 1010). Each call repaints the
  // window's background under the control before the text changes.
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void SetTimeText(const std::string& text) = 0;
  // Hides the status line and shows it again, so it is drawn anew.
  virtual void RedrawStatusLine() = 0;
  // The progress bar (0..100).
  virtual void SetProgressPosition(int percent) = 0;
  // Replaces the tray icon's tooltip and asks the shell to show it; does nothing until the
  // tray icon data has been filled.
  virtual void SetTrayTooltip(const std::string& text) = 0;
  // The window as before the user's start, showing the target folder: Next begins a new
  // download.
  virtual void ShowReadyToStart() = 0;
  // Follows each change of what the download is doing; the percentage comes with the progress
  // bar's.
  virtual void ShowActivity(DownloadActivity activity) = 0;
  // A message box with an OK button, owned by the window.
  virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
  // The window update lock around multi-step text changes.
  virtual void LockWindowUpdate() = 0;
  virtual void UnlockWindowUpdate() = 0;
  // Timers and the workers' posted messages go through this target.
  virtual platform::MessageTarget& MessageTarget() = 0;
};
