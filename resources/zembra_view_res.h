// Ids of the main form view (101) and custom size dialog (133).
#pragma once

#define IDD_ZEMBRA_FORM 101

// Icons painted on the main form beside its three headings.
#define IDI_VIEW_PROFILE 141
#define IDI_VIEW_FILES 142
#define IDI_VIEW_LABEL 143

// Controls of the main form.
#define IDC_FOLDER_TREE 1003
#define IDC_FILE_LIST 1004
#define IDC_SOURCES 1005
#define IDC_ADD 1006
#define IDC_REMOVE 1007
#define IDC_BEGIN_SPLIT 1008
#define IDC_MAX_SIZE 1011
#define IDC_SAVE_LOCATION 1012
#define IDC_BROWSE 1013
#define IDC_SET_NAME 1014
#define IDC_STATUS_AREA 1015
#define IDC_EMAIL 1018
#define IDC_SHOW_FILES 1019
#define IDC_PRESETS 1026
#define IDC_PRESET_ADD 1031
#define IDC_PRESET_REMOVE 1032
#define IDC_REVIEW 1038
#define IDC_ICON_FILES 1040
#define IDC_ICON_PROFILE 1041
#define IDC_ICON_LABEL 1042
#define IDC_SIZE_DISPLAY 1061
#define IDC_REJOIN 1067

// Custom size dialog (133)
#define IDD_CUSTOM_SIZE 133
#define IDC_CUSTOM_NAME 1027
#define IDC_CUSTOM_SIZE 1028
#define IDC_CUSTOM_LOCATION 1062
#define IDC_CUSTOM_BROWSE 1063
