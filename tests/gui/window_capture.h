// Capturing a window's pixels as they are on screen, and saving them as a 24-bit BMP.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace gui_driver {

// 24-bit pixels in the BMP's own layout: rows bottom-up, blue-green-red, each row padded to
// four bytes.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rows;
  size_t Stride() const { return (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3); }
};

// The whole window rectangle, read from the window's DC. Falls back to PrintWindow where the
// DC cannot be read. False if the window has no area or neither way works.
bool CaptureWindow(HWND window, Image* image);

bool WriteBmp(const std::string& path, const Image& image);

}  // namespace gui_driver
