// Resource ids of the mailer korvo.exe.
#pragma once

#define IDR_KORVO 128          // program icon
#define IDD_ABOUTBOX 100
#define IDD_MAIL 102           // the mail dialog
#define IDM_ABOUTBOX 0x0010    // system-menu command (below 0xF000, low four bits clear)

// Mail dialog controls.
#define IDC_MAIL_TO 1000
#define IDC_MAIL_FROM 1001
#define IDC_MAIL_TEXT 1002
#define IDC_MAIL_SUBJECT 1003
#define IDC_MAIL_STATUS 1004
