#include "app/app_settings.h"

// Set by the build (src/app/CMakeLists.txt).
#ifndef MORAVENT_FTP_HOST
#error "MORAVENT_FTP_HOST must be defined by the build"
#endif

DownloadSettings CompiledInSettings() {
  DownloadSettings settings;
  settings.m_strHost = MORAVENT_FTP_HOST;
  settings.m_nPort = MORAVENT_FTP_PORT;
  return settings;
}

const char kProductSiteUrl[] = MORAVENT_SITE_URL;
