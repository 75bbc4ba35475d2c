// Parsing of the driver's command-line arguments: numbers, button and key names, paths.
#pragma once

#include <string>

namespace gui_driver {

// Decimal (optionally negative) or 0x hexadecimal; false for anything else, trailing text
// included, so a typo is reported instead of posting a wrong number.
bool ParseNumber(const std::string& text, long long* value);

// IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO, or a number.
bool ParseButton(const std::string& text, int* id);
std::string ButtonName(int id);

// Tests pass Unix paths; under Wine drive Z: is the Unix root.
std::string ToWindowsPath(const std::string& path);

}  // namespace gui_driver
