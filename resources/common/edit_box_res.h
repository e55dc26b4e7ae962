// Ids of the one-line text entry dialog (template 1518) that remblo and zembra share.
#pragma once

#define IDD_EDIT_BOX 1518
#define IDC_EDIT_TEXT 1011
#define IDC_EDIT_PROMPT 1050
