// Resource identifiers of the program: dialogs, controls, pictures and the
// string-table texts.  One block per dialog template.
#pragma once

// Pictures.
#define IDI_MAINFRAME 128  // icon: one 32 x 32 image, 16 colours
#define IDB_PRINTER 136    // bitmap: 166 x 317, 24-bit

// Dialog initialisation data (list entries, the agreement's text).
#define RT_DLGINIT_DATA 240

// Window class of the agreement's rich-text control: the program registers
// it at start-up as a superclass of the system's RichEdit control.
#define INSTALIX_RICHTEXT_CLASS "InstalixRichText"

// Statics that nobody reads or changes.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// System-menu command of the About entry.
#define IDM_ABOUTBOX 0x0010

// About box.
#define IDD_ABOUT 100

// Wizard frame.
#define IDD_WIZARD 102
#define IDC_PAGE_AREA 1001
#define IDC_BACK 1002
// IDOK (1) is Next / Finish, IDCANCEL (2) Cancel.

// Target-system page.
#define IDD_OS_PAGE 130
#define IDC_OS_WIN98 1026
#define IDC_OS_WINNT 1027
#define IDC_OS_WIN2000 1028
#define IDC_OS_WINXP 1029
#define IDC_OS_WIN2003 1075

// Printer page.
#define IDD_PRINTER_PAGE 131
#define IDC_CLASS_RECEIPT 1019
#define IDC_CLASS_TICKET 1020
#define IDC_CLASS_LABEL 1021
#define IDC_CLASS_EMBEDDED 1073
#define IDC_LIST_RECEIPT 1030
#define IDC_LIST_TICKET 1031
#define IDC_LIST_LABEL 1032
#define IDC_LIST_EMBEDDED 1074
#define IDC_SET_DEFAULT 1046

// Port page.
#define IDD_PORT_PAGE 132
#define IDC_PORT_LIST 1049
#define IDC_BAUD_LIST 1041
#define IDC_DATABITS_LIST 1042
#define IDC_PARITY_LIST 1043
#define IDC_STOPBITS_LIST 1044
#define IDC_FLOW_LIST 1045
#define IDC_RASTER_BITMAP 1052
#define IDC_USB_NOTICE 1065

// Agreement page.
#define IDD_AGREEMENT_PAGE 133
#define IDC_AGREEMENT_TEXT 1063
#define IDC_ACCEPT 1057
#define IDC_REFUSE 1058

// Install-mode page.
#define IDD_MODE_PAGE 137
#define IDC_MODE_TYPICAL 1066
#define IDC_MODE_ADVANCED 1067
#define IDC_MODE_LINE1 1068
#define IDC_MODE_LINE2 1069
#define IDC_MODE_LINE3 1070

// String table.
#define IDS_ABOUTBOX 101
#define IDS_NO_SYSTEM_DIR 102
#define IDS_MAX_PRINTERS_ON_PORT 103
#define IDS_OUT_OF_MEMORY 104
#define IDS_NO_CURRENT_DIR 107
#define IDS_NO_DRIVER_DIR 108
#define IDS_NO_PROCESSOR_DIR 109
#define IDS_CHOOSE_PRINTER 112
#define IDS_NT4_NO_USB 113
#define IDS_RESTART_QUESTION 114
#define IDS_SYSTEM_NOT_SUPPORTED 115
#define IDS_ADD_PRINTER_FAILED 116
#define IDS_ADD_DRIVER_FAILED 118
#define IDS_ADD_MONITOR_FAILED 119
#define IDS_COPY_FAILED 122
#define IDS_ADD_PROCESSOR_FAILED 123
#define IDS_ENUM_PORTS_FAILED 125
#define IDS_NO_WINDOWS_DIR 126
#define IDS_RESTART_FAILED 127
#define IDS_INSTALL_DONE 131
#define IDS_OLE_INIT_FAILED 132
#define IDS_INSTALL_DONE_RESET 133
#define IDS_HELP_HINT 134
#define IDS_TYPICAL_LINE 135
#define IDS_ADVANCED_LINE1 136
#define IDS_ADVANCED_LINE2 137
#define IDS_CONNECT_USB_PRINTER 139
#define IDS_PORT_NOT_SUPPORTED 140
#define IDS_SYSTEM_ERROR_RESTART 141
#define IDS_DRIVER_FILES_MISSING 142
#define IDS_RENAME_USB_DEVICE 143
#define IDS_ONE_PRINTER_ONLY 144
#define IDS_NO_SERVER_2003 145
