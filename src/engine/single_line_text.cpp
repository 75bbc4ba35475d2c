#include "engine/helpers.h"

std::string SingleLineText(std::string text) {
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      c = ' ';
    }
  }
  return text;
}
