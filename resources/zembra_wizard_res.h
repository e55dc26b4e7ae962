// Ids of the wizard pages (144, 1537, 1538, 1539) and picture 146.
#pragma once

#define IDD_WIZARD_SIZE 144
#define IDD_WIZARD_FILES 1537
#define IDD_WIZARD_NAME 1538
#define IDD_WIZARD_RESULTS 1539
#define IDB_WIZARD_PICTURE 146

// Page buttons carry the state of the page they lead to.
#define IDC_WIZ_TO_SIZE 1053
#define IDC_WIZ_TO_FILES 1052
#define IDC_WIZ_TO_NAME 1054
#define IDC_WIZ_TO_RESULTS 1055

#define IDC_WIZ_PICTURE 1048
#define IDC_WIZ_PRESET 1044
#define IDC_WIZ_SIZE 1047
#define IDC_WIZ_TREE 1056
#define IDC_WIZ_FILE_LIST 1004
#define IDC_WIZ_ADD 1006
#define IDC_WIZ_REMOVE 1007
#define IDC_WIZ_SOURCES 1008
#define IDC_WIZ_TOTAL 1058
#define IDC_WIZ_LOCATION 1044
#define IDC_WIZ_SET_NAME 1047
#define IDC_WIZ_BROWSE 1051
#define IDC_WIZ_RESULTS 1047
#define IDC_WIZ_EMAIL 1060
