#pragma once

// Ids of the program's resources (MoraventDL_Vellomarch.rc), shared by the script and the code.
// Plain #defines: the resource compiler reads this file too.

#define IDD_MORAVENTDL_VELLOMARCH_DIALOG 102
#define IDS_SOCKETS_INIT_FAILED 103
#define IDR_MAINFRAME 128

#define IDC_STOP 1001
#define IDC_PAUSE 1002
#define IDC_TIME_LABEL 1010
#define IDC_PROGRESS 1013
#define IDC_BROWSE 1015
#define IDC_STATUS 1016
#define IDC_LINK 1027
#define IDC_TO_TRAY 1028
#define IDC_MINIMIZE 1029
#define IDC_EXIT 1030
#define IDC_FOLDER_LABEL 1032
