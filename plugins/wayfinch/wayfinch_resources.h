// Wayfinch's dialogs and bitmaps.
#pragma once

#define IDD_PARKING 101
#define IDD_CONFIGURE 102
#define IDB_GO_NORMAL 201
#define IDB_GO_HOT 202
#define IDB_GO_PRESSED 203
#define IDC_SHOW_GO 1000
#define IDC_CLEAR_HISTORY 1001
