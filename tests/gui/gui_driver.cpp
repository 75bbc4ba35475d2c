// gui_driver: drives the program under test from a console program in the same Wine server
// (or Windows session). One sub-command per run; see Usage().
#include <fcntl.h>
#include <io.h>

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "driver_args.h"
#include "driver_commands.h"
#include "window_finder.h"

namespace {

constexpr unsigned kDefaultTimeoutMs = 10000;

void Usage(FILE* out) {
  std::fprintf(out,
               "usage: gui_driver [--timeout MS] COMMAND ARGS...\n"
               "Waits at most MS milliseconds (default %u) for what a command needs.\n"
               "Numbers are decimal or 0x hexadecimal. Commands:\n",
               kDefaultTimeoutMs);
  for (const gui_driver::Command& command : gui_driver::Commands()) {
    std::fprintf(out, "  %s %s\n", command.name, command.arguments);
  }
}

size_t WordCount(const char* text) {
  size_t count = 0;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c != ' ' && (c == text || c[-1] == ' ')) {
      ++count;
    }
  }
  return count;
}

}  // namespace

// The arguments in UTF-8: main's would come through the ANSI code page, which has no room for
// most of the world's folder names.
std::vector<std::string> Utf8Arguments() {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 0; wide != nullptr && i < count; ++i) {
    arguments.push_back(gui_driver::Utf8(wide[i]));
  }
  LocalFree(wide);
  return arguments;
}

int main() {
  // Results go to shell scripts, which do not want carriage returns.
  _setmode(_fileno(stdout), _O_BINARY);
  const std::vector<std::string> argv = Utf8Arguments();
  const int argc = static_cast<int>(argv.size());

  int next = 1;
  unsigned timeout_ms = kDefaultTimeoutMs;
  if (next < argc && argv[next] == "--timeout") {
    long long value = 0;
    if (next + 1 >= argc || !gui_driver::ParseNumber(argv[next + 1], &value) || value < 0 ||
        value > 0x7FFFFFFF) {
      std::fprintf(stderr, "gui_driver: --timeout needs a number of milliseconds\n");
      return 2;
    }
    timeout_ms = static_cast<unsigned>(value);
    next += 2;
  }
  if (next >= argc) {
    Usage(stderr);
    return 2;
  }
  const std::string name = argv[next];
  const gui_driver::Arguments arguments(argv.begin() + next + 1, argv.end());
  for (const gui_driver::Command& command : gui_driver::Commands()) {
    if (name != command.name) {
      continue;
    }
    if (arguments.size() != WordCount(command.arguments)) {
      std::fprintf(stderr, "usage: gui_driver [--timeout MS] %s %s\n", command.name,
                   command.arguments);
      return 2;
    }
    try {
      command.run(arguments, gui_driver::Deadline(timeout_ms));
    } catch (const gui_driver::UsageError& error) {
      std::fprintf(stderr, "gui_driver %s: %s\n", command.name, error.what());
      return 2;
    } catch (const gui_driver::Failure& error) {
      std::fprintf(stderr, "gui_driver %s: %s\n", command.name, error.what());
      return 1;
    }
    if (std::fflush(stdout) != 0) {
      // Not a verdict on the program: the caller may ask again.
      std::fprintf(stderr, "gui_driver %s: could not write the result\n", command.name);
      return 3;
    }
    return 0;
  }
  std::fprintf(stderr, "gui_driver: unknown command \"%s\"\n", name.c_str());
  Usage(stderr);
  return 2;
}
