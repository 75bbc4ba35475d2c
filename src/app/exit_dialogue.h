#pragma once

#include <windows.h>

#include <functional>

// What the user decided when asked about leaving.
enum class ExitChoice {
  Stay,
  End,  // a part file stays for the next start
  EndDeletingPartFile,
};

// Shows one question with the given MB_ buttons and returns the IDYES/IDNO/IDCANCEL answer.
using AskQuestion = std::function<int(const char* text, const char* caption, UINT buttons)>;

// Asks whether to leave; the questions follow how far the download has come: not started,
// started with no segment worker (still connecting, or completed), or with segment workers
// (running or paused), when the part file may be kept or deleted.
ExitChoice AskExitChoice(const AskQuestion& ask, bool started, bool workersListed);
