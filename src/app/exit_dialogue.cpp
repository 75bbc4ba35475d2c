#include "app/exit_dialogue.h"

namespace {

ExitChoice AskAboutPartFile(const AskQuestion& ask) {
  switch (ask("Would you like to resume this download later?", "Resume Later?", MB_YESNOCANCEL)) {
    case IDYES:
      return ExitChoice::End;
    case IDNO:
      break;
    default:
      return ExitChoice::Stay;
  }
  const int cancel = ask(
      "Are you sure you want to cancel to download?\nPartially downloaded files will be deleted.",
      "Are you sure?", MB_YESNO);
  return cancel == IDYES ? ExitChoice::EndDeletingPartFile : ExitChoice::End;
}

ExitChoice EndIfYes(int answer) {
  return answer == IDYES ? ExitChoice::End : ExitChoice::Stay;
}

}  // namespace

ExitChoice AskExitChoice(const AskQuestion& ask, bool started, bool workersListed) {
  if (!started) {
    return EndIfYes(ask("Are you sure you want to exit ?", "Are you sure?", MB_YESNO));
  }
  if (!workersListed) {
    return EndIfYes(ask("Do you want exit downloader?", "Exit downloader", MB_YESNO));
  }
  return AskAboutPartFile(ask);
}
