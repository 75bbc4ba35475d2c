#pragma once

#include "engine/download_settings.h"

// The download's compiled-in configuration; the server's host and port come from the build.
DownloadSettings CompiledInSettings();

// The product web site that the link label opens.
extern const char kProductSiteUrl[];
