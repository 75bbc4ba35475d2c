#include "progress/progress_texts.h"

std::string FormatRemainingTime(int32_t seconds) {
  const int32_t hours = seconds / 60 / 60;
  const int32_t minutes = (seconds / 60) % 60;
  const int32_t restSeconds = seconds % 60;
  std::string text;
  if (hours > 0) {
    text += std::to_string(hours) + " hours ";
  }
  if (minutes > 0) {
    text += std::to_string(minutes) + " minutes ";
  }
  if (restSeconds > 0) {
    text += std::to_string(restSeconds) + " seconds ";
  }
  return text + "remaining";
}

std::string TrayTooltipText(int percent) {
  return "Downloading Vellomarch (" + std::to_string(percent) + "% complete)";
}

std::string ProgressStatusText(const std::string& receivedKBText, const std::string& totalKBText,
                               int percent, int32_t speedKBps) {
  return receivedKBText + " KB out of " + totalKBText + " KB (" + std::to_string(percent) +
         "%) at " + std::to_string(speedKBps) + " KBps";
}
