// Resource and control ids of the rejoiner remblo.exe.
#pragma once

#include "common/edit_box_res.h"

#define IDI_REMBLO 130
#define IDD_REJOIN 131
#define IDD_FILE_EXISTS 129

// Select Destination
#define IDC_PROGRESS_ARROWS 1004
#define IDC_DRIVES 1016
#define IDC_FOLDERS 1017
#define IDC_DESTINATION 1018
#define IDC_UP 1021
#define IDC_DEST_GROUP 1022
#define IDC_NEW 1023

// File Exists
#define IDC_EXISTS_TEXT 1003
#define IDC_YES_TO_ALL 1000
#define IDC_NO_TO_ALL 1001

