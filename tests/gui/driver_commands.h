// The driver's sub-commands. Each prints its result on stdout; it throws Failure when it could
// not do its work (main exits 1) and UsageError for arguments it cannot read (main exits 2).
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "window_finder.h"

namespace gui_driver {

struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

using Arguments = std::vector<std::string>;

struct Command {
  const char* name;
  const char* arguments;  // for the usage text; its word count is the number expected
  void (*run)(const Arguments& arguments, const Deadline& deadline);
};

// The dialog captioned `caption`, once it shows; Failure when it does not within the deadline.
HWND RequireDialog(const std::string& caption, const Deadline& deadline);

// Presses a button of a dialog or message box and waits until the dialog has gone.
void PressButton(HWND dialog, int id, const std::string& caption, const Deadline& deadline);

// All commands, in the order the usage text lists them.
const std::vector<Command>& Commands();

}  // namespace gui_driver
