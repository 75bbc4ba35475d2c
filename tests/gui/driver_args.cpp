#include "driver_args.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace gui_driver {

namespace {

struct NamedValue {
  const char* name;
  int value;
};

// The message-box button ids of the Windows headers; this file does not include them.
const NamedValue kButtons[] = {{"IDOK", 1},     {"IDCANCEL", 2}, {"IDABORT", 3}, {"IDRETRY", 4},
                               {"IDIGNORE", 5}, {"IDYES", 6},    {"IDNO", 7}};

std::string Upper(std::string text) {
  for (char& c : text) {
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return text;
}

}  // namespace

bool ParseNumber(const std::string& text, long long* value) {
  if (text.empty()) {
    return false;
  }
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    if (!std::isxdigit(static_cast<unsigned char>(text[2]))) {
      return false;
    }
    // Hex is a bit pattern: 0xFFFFFFFFFFFFFFFF is -1 as an LPARAM.
    *value = static_cast<long long>(std::strtoull(begin + 2, &end, 16));
  } else {
    if (!std::isdigit(static_cast<unsigned char>(text[0])) && text[0] != '-') {
      return false;
    }
    *value = std::strtoll(begin, &end, 10);
  }
  return errno == 0 && end != nullptr && *end == '\0' && end != begin;
}

bool ParseButton(const std::string& text, int* id) {
  const std::string name = Upper(text);
  for (const NamedValue& button : kButtons) {
    if (name == button.name) {
      *id = button.value;
      return true;
    }
  }
  long long number = 0;
  if (ParseNumber(text, &number) && number > 0 && number <= 0xFFFF) {
    *id = static_cast<int>(number);
    return true;
  }
  return false;
}

std::string ButtonName(int id) {
  for (const NamedValue& button : kButtons) {
    if (button.value == id) {
      return button.name;
    }
  }
  return std::to_string(id);
}

std::string ToWindowsPath(const std::string& path) {
  if (path.empty() || path[0] != '/') {
    return path;
  }
  std::string windows = "Z:" + path;
  for (char& c : windows) {
    if (c == '/') {
      c = '\\';
    }
  }
  return windows;
}

}  // namespace gui_driver
