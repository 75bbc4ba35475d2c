#pragma once

// Ids of the program's resources (MoraventDL_Vellomarch.rc), shared by the script and the code.
// Plain #defines: the resource compiler reads this file too.

#define IDD_MORAVENTDL_VELLOMARCH_DIALOG 102
#define IDS_SOCKETS_INIT_FAILED 103
#define IDR_MAINFRAME 128

// Bitmaps of the skin (bitmaps/, drawn by make_art). The big buttons have a normal, a hover and a
// pressed face; a caption button shows its hover face when pressed too.
#define IDB_BACKGROUND 135
#define IDB_PROGRESS_TILE 152
#define IDB_STOP_NORMAL 154
#define IDB_STOP_HOVER 155
#define IDB_STOP_PRESSED 156
#define IDB_PAUSE_NORMAL 157
#define IDB_PAUSE_HOVER 158
#define IDB_PAUSE_PRESSED 159
#define IDB_RESUME_NORMAL 160
#define IDB_RESUME_HOVER 161
#define IDB_RESUME_PRESSED 162
#define IDB_BROWSE_NORMAL 163
#define IDB_BROWSE_HOVER 164
#define IDB_BROWSE_PRESSED 165
#define IDB_TO_TRAY_NORMAL 166
#define IDB_TO_TRAY_HOVER 167
#define IDB_MINIMIZE_NORMAL 168
#define IDB_MINIMIZE_HOVER 169
#define IDB_EXIT_NORMAL 170
#define IDB_EXIT_HOVER 171
#define IDB_CANCEL_NORMAL 173
#define IDB_CANCEL_HOVER 174
#define IDB_CANCEL_PRESSED 175
#define IDB_NEXT_NORMAL 176
#define IDB_NEXT_HOVER 177
#define IDB_NEXT_PRESSED 178
#define IDB_FOLDER_BOX 179

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
