#pragma once

#include <windows.h>

// What a button of the window shows in one state: the skin's bitmap resources (normal, hover,
// pressed) and the word those bitmaps carry.
struct ButtonFaces {
  UINT normal;
  UINT hover;
  UINT pressed;
  const char* word;
};

constexpr ButtonFaces kCancelFaces{173, 174, 175, "Cancel"};
constexpr ButtonFaces kNextFaces{176, 177, 178, "Next"};
constexpr ButtonFaces kStopFaces{154, 155, 156, "Stop"};
constexpr ButtonFaces kPauseFaces{157, 158, 159, "Pause"};
constexpr ButtonFaces kResumeFaces{160, 161, 162, "Resume"};
constexpr ButtonFaces kBrowseFaces{163, 164, 165, "Browse"};
constexpr ButtonFaces kToTrayFaces{166, 167, 167, "t"};
constexpr ButtonFaces kMinimizeFaces{168, 169, 169, "m"};
constexpr ButtonFaces kExitFaces{170, 171, 171, "e"};
