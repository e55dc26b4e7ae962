// Control ids of the window-layer test dialog.
#pragma once

#define IDD_EXCHANGE 100
#define IDC_NAME 1001
#define IDC_COUNT 1002
#define IDC_PERCENT 1003
#define IDC_FLAG 1004
#define IDC_RADIO_A 1005
#define IDC_RADIO_B 1006
#define IDC_RADIO_C 1007
#define IDC_LIST 1008
#define IDC_SHORT 1009
#define IDC_ACTION 1010

#define IDR_FRAME 200
#define IDD_FORM 201
#define ID_FRAME_COMMAND 40001
#define ID_VIEW_COMMAND 40002
#define IDC_FORM_EDIT 1101
