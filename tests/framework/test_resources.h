#pragma once

// Ids of the suite's resources (framework_tests.rc); shared by the script and the tests.
#define IDD_TEST_DIALOG 200
#define IDD_MISSING_DIALOG 201
#define IDC_OWNER_DRAWN 1001
#define IDC_PUSH 1002
#define IDC_PROGRESS 1013
#define IDC_TEXT 1016
#define IDC_PLAIN_TEXT 1032
#define IDS_GREETING 103
#define IDB_KEYED 135
