#include "window_capture.h"

#include <cstdio>
#include <utility>

namespace gui_driver {

bool CaptureWindow(HWND window, Image* image) {
  RECT rect;
  if (!GetWindowRect(window, &rect) || rect.right <= rect.left || rect.bottom <= rect.top) {
    return false;
  }
  Image result;
  result.width = rect.right - rect.left;
  result.height = rect.bottom - rect.top;

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = result.width;
  info.bmiHeader.biHeight = result.height;  // positive: bottom-up, as BMP files store it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;

  HDC source = GetWindowDC(window);
  if (source == nullptr) {
    return false;
  }
  HDC memory = CreateCompatibleDC(source);
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool captured = false;
  if (memory != nullptr && dib != nullptr) {
    HGDIOBJ previous = SelectObject(memory, dib);
    captured = BitBlt(memory, 0, 0, result.width, result.height, source, 0, 0, SRCCOPY) ||
               PrintWindow(window, memory, 0);
    GdiFlush();
    if (captured) {
      const size_t size = result.Stride() * static_cast<size_t>(result.height);
      result.rows.assign(static_cast<unsigned char*>(bits),
                         static_cast<unsigned char*>(bits) + size);
    }
    SelectObject(memory, previous);
  }
  if (dib != nullptr) {
    DeleteObject(dib);
  }
  if (memory != nullptr) {
    DeleteDC(memory);
  }
  ReleaseDC(window, source);
  if (captured) {
    *image = std::move(result);
  }
  return captured;
}

bool WriteBmp(const std::string& path, const Image& image) {
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = image.width;
  info.biHeight = image.height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  info.biSizeImage = static_cast<DWORD>(image.rows.size());

  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + info.biSizeImage;

  FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) {
    return false;
  }
  bool written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                 std::fwrite(&info, sizeof info, 1, out) == 1 &&
                 std::fwrite(image.rows.data(), 1, image.rows.size(), out) == image.rows.size();
  written = std::fclose(out) == 0 && written;
  if (!written) {
    std::remove(path.c_str());
  }
  return written;
}

}  // namespace gui_driver
