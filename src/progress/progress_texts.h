#pragma once

#include <cstdint>
#include <string>

// The texts of the progress display, shared by the display tick and the completion.

// "1 hours 2 minutes 5 seconds remaining": each non-zero part with its plural word, then
// "remaining"; zero or a negative count gives "remaining" alone.
std::string FormatRemainingTime(int32_t seconds);

// The tray icon's tooltip: "Downloading Vellomarch (12% complete)".
std::string TrayTooltipText(int percent);

// The status line: "1,205 KB out of 9,765 KB (12%) at 150 KBps".
std::string ProgressStatusText(const std::string& receivedKBText, const std::string& totalKBText,
                               int percent, int32_t speedKBps);
