// Resource and command ids of the main program's frame, menu, dialogs and strings. The values
// are fixed: the view, the document, the wizard and the help topics refer to them.
#pragma once

#include "common/edit_box_res.h"

// Frame: menu, accelerators, toolbar bitmap, icon and document string share one id.
#define IDR_MAINFRAME 128
#define IDD_ABOUTBOX 100
#define IDD_OPTIONS 136
#define IDD_NEWDIR_FILE 1536

// Framework commands (the classic application framework's numbers).
#define ID_FILE_NEW 57600
#define ID_FILE_OPEN 57601
#define ID_FILE_SAVE 57603
#define ID_FILE_SAVE_AS 57604
#define ID_FILE_MRU_FILE1 57616
#define ID_FILE_MRU_FILE4 57619
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_PASTE 57637
#define ID_EDIT_UNDO 57643
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665
#define ID_CONTEXT_HELP 57669
#define ID_HELP 57670
#define ID_NEXT_PANE 57680
#define ID_PREV_PANE 57681
#define ID_VIEW_TOOLBAR 59392
#define ID_VIEW_STATUS_BAR 59393

// Framework strings: application title, idle prompt, status-bar key indicators.
#define IDS_APP_TITLE 57344
#define IDS_IDLE_MESSAGE 57345
#define ID_INDICATOR_CAPS 59137
#define ID_INDICATOR_NUM 59138
#define ID_INDICATOR_SCRL 59139

// The program's own commands.
#define ID_BUILD 1008
#define ID_EMAIL 1018
#define ID_NEW_SPLIT 32772
#define ID_OPTIONS_EMAIL 32774
#define ID_PRINT 32775
#define ID_SAVE 32776
#define ID_WIZARD_BUTTON 32778
#define ID_OPTIONS_WORKDIR 32779
#define ID_HELP_CONTENTS 32780
#define ID_WIZARD 32781
#define ID_HOME_PAGE 32782
#define ID_OPTIONS_HIDDEN 32783

// About box
#define IDC_ABOUT_ICON 1000
#define IDC_ABOUT_VERSION 1001

// Options (template 136)
#define IDC_OPT_FIRST 1034
#define IDC_OPT_SECOND 1065
#define IDC_OPT_FIRST_LABEL 1069
#define IDC_OPT_SECOND_LABEL 1066
#define IDC_OPT_BROWSE 1051
#define IDC_OPT_RECOVERY_LABEL 1052
#define IDC_OPT_RECOVERY 1053
#define IDC_OPT_RECOVERY_NOTE 1054

// Folder chooser (template 1536): the old-style open dialog's controls plus New Dir.
#define IDC_FD_NAME_LABEL 1090
#define IDC_FD_NAME 1152
#define IDC_FD_FILES 1120
#define IDC_FD_FOLDER 1088
#define IDC_FD_FOLDERS 1121
#define IDC_FD_TYPE_LABEL 1089
#define IDC_FD_TYPES 1136
#define IDC_FD_DRIVES_LABEL 1091
#define IDC_FD_DRIVES 1137
#define IDC_FD_HELP 1038
#define IDC_FD_READ_ONLY 1040
#define IDC_FD_NEW_DIR 1023
