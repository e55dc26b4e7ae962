// Resource ids of the shell extension library varlo.dll.
#pragma once

// The three icons a file can show, in index order (the icon handler's "[IconImage] Index").
#define IDI_VARLO_BLUE 1
#define IDI_VARLO_GREEN 2
#define IDI_VARLO_RED 3

// The "VEX Color" property page and its radio buttons, one per icon index.
#define IDD_VEX_PAGE 132
#define IDC_VEX_FIRST 1000
#define IDC_VEX_COUNT 3
