// Ids of the contents viewer (134).
#pragma once

#define IDD_CONTENTS 134
#define IDC_CONTENTS_TEXT 1029
#define IDC_CONTENTS_PRINT 1064
