#include "app/app_settings.h"

// Set by the build for each copy of the program (moravent_add_program in src/app/CMakeLists.txt).
#if !defined(MORAVENT_FTP_HOST) || !defined(MORAVENT_INSTALLER_SHA256)
#error "the program's settings must be defined by the build"
#endif

DownloadSettings CompiledInSettings() {
  DownloadSettings settings;
  settings.m_strHost = MORAVENT_FTP_HOST;
  settings.m_nPort = MORAVENT_FTP_PORT;
  settings.m_strExpectedSha256 = MORAVENT_INSTALLER_SHA256;
  settings.m_nSegmentsPerPass = MORAVENT_SEGMENTS_PER_PASS;
  return settings;
}

const char kProductSiteUrl[] = MORAVENT_SITE_URL;
