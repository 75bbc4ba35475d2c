#pragma once

// Everything the program's windows are written with.
#include "framework/basic_controls.h"
#include "framework/data_exchange.h"
#include "framework/dc.h"
#include "framework/dialog.h"
#include "framework/gdi_object.h"
#include "framework/geometry.h"
#include "framework/memory_dc.h"
#include "framework/message_entries.h"
#include "framework/progress_ctrl.h"
#include "framework/tooltip_ctrl.h"
#include "framework/win_app.h"
#include "framework/wnd.h"
