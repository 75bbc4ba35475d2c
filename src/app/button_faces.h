#pragma once

#include <windows.h>

#include "resource.h"

// What a button of the window shows in one state: the skin's bitmap resources (normal, hover,
// pressed) and the word those bitmaps carry, which is also the button's window text so that
// screen readers and tests can name it.
struct ButtonFaces {
  UINT normal;
  UINT hover;
  UINT pressed;
  const char* word;
};

constexpr ButtonFaces kCancelFaces{IDB_CANCEL_NORMAL, IDB_CANCEL_HOVER, IDB_CANCEL_PRESSED,
                                   "Cancel"};
constexpr ButtonFaces kNextFaces{IDB_NEXT_NORMAL, IDB_NEXT_HOVER, IDB_NEXT_PRESSED, "Next"};
constexpr ButtonFaces kStopFaces{IDB_STOP_NORMAL, IDB_STOP_HOVER, IDB_STOP_PRESSED, "Stop"};
constexpr ButtonFaces kPauseFaces{IDB_PAUSE_NORMAL, IDB_PAUSE_HOVER, IDB_PAUSE_PRESSED, "Pause"};
constexpr ButtonFaces kResumeFaces{IDB_RESUME_NORMAL, IDB_RESUME_HOVER, IDB_RESUME_PRESSED,
                                   "Resume"};
constexpr ButtonFaces kBrowseFaces{IDB_BROWSE_NORMAL, IDB_BROWSE_HOVER, IDB_BROWSE_PRESSED,
                                   "Browse"};
// The caption buttons show one image when hovered and when pressed; their words say what they
// do, since their faces are icons.
constexpr ButtonFaces kToTrayFaces{IDB_TO_TRAY_NORMAL, IDB_TO_TRAY_HOVER, IDB_TO_TRAY_HOVER,
                                   "Hide to tray"};
constexpr ButtonFaces kMinimizeFaces{IDB_MINIMIZE_NORMAL, IDB_MINIMIZE_HOVER, IDB_MINIMIZE_HOVER,
                                     "Minimize"};
constexpr ButtonFaces kExitFaces{IDB_EXIT_NORMAL, IDB_EXIT_HOVER, IDB_EXIT_HOVER, "Exit"};

class CButtonEx1;

// Gives the button the faces and their word.
void ShowFaces(CButtonEx1& button, const ButtonFaces& faces);
