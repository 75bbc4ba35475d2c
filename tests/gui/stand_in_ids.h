// Resource and control ids of the driver's stand-in dialog; the controls take the ids the
// real window uses for the same kind of control.
#pragma once

#define IDD_STAND_IN 100

#define IDC_STAND_IN_STATUS 1016
#define IDC_STAND_IN_LATE_LABEL 1010
#define IDC_STAND_IN_COUNT 1001
#define IDC_STAND_IN_ASK 1002
#define IDC_STAND_IN_DISABLED 1015
#define IDC_STAND_IN_HIDE 1028
#define IDC_STAND_IN_MINIMISE 1029
#define IDC_STAND_IN_NOTICE 1030
