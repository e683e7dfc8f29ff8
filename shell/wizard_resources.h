// Templates, bitmaps and controls of the new-item wizard's standard pages.
#pragma once

#define IDB_WIZARD_HEADER 102
#define IDB_WIZARD_WATERMARK 103

#define IDD_WIZARD_FIRST 1070
#define IDD_WIZARD_TITLE 1068
#define IDD_WIZARD_DISPLAY 109
#define IDD_WIZARD_ICONS 1067
#define IDD_WIZARD_BITMAPS 1069
#define IDD_WIZARD_DONE 1066

// Shared by several pages: the big title of the first and last pages, and
// the bold labels.
#define IDC_WIZ_TITLE 1041
#define IDC_WIZ_LABEL1 1328
#define IDC_WIZ_LABEL2 1329
#define IDC_WIZ_LABEL3 1331

// First page.
#define IDC_WIZ_CATEGORY 1077
#define IDC_WIZ_ACTION 1072
// Title page (1041 is its edit).
#define IDC_WIZ_USE_ACTIVE_TEXT 1135
// Display page.
#define IDC_WIZ_TEXT_ALONE 1259
#define IDC_WIZ_ICON_ALONE 1260
#define IDC_WIZ_TEXT_AND_ICON 1261
#define IDC_WIZ_BITMAP 1262
// Icon page.
#define IDC_WIZ_ICON1 1015
#define IDC_WIZ_ICON2 1016
#define IDC_WIZ_USE_ACTIVE_ICON 1021
#define IDC_WIZ_BROWSE_ICON1 1126
#define IDC_WIZ_BROWSE_ICON2 1127
// Bitmap page.
#define IDC_WIZ_TRANSPARENCY 1174
#define IDC_WIZ_SKIN_BEHIND 1175
#define IDC_WIZ_BROWSE_NORMAL 1176
#define IDC_WIZ_NORMAL 1177
#define IDC_WIZ_BROWSE_MOUSEOVER 1178
#define IDC_WIZ_MOUSEOVER 1179
#define IDC_WIZ_BROWSE_SELECTED 1180
#define IDC_WIZ_SELECTED 1181
