// Templates and controls of the shortcut item's own wizard pages.
#pragma once

#define IDD_SHORTCUT_WIZ_START 1071
#define IDD_SHORTCUT_WIZ_RUN_METHOD 1072
#define IDD_SHORTCUT_WIZ_FILE 1073
#define IDD_SHORTCUT_WIZ_EXTENSION 1074
#define IDD_SHORTCUT_WIZ_REGISTRY 1075
#define IDD_SHORTCUT_WIZ_SPECIAL 1076
#define IDD_SHORTCUT_WIZ_FOLDER 1077
#define IDD_SHORTCUT_WIZ_POPUP 1078

#define IDC_SCW_TITLE 1041
#define IDC_SCW_LABEL1 1328
#define IDC_SCW_LABEL2 1329
// Start page.
#define IDC_SCW_RUN 1260
#define IDC_SCW_POPUP_FOLDER 1261
// Run-method page.
#define IDC_SCW_BY_FILE 1127
#define IDC_SCW_BY_EXTENSION 1128
#define IDC_SCW_BY_REGISTRY 1129
#define IDC_SCW_BY_SPECIAL 1086
// File page and folder page (1261 is their path edit, 1003 its Browse).
#define IDC_SCW_PATH 1261
#define IDC_SCW_BROWSE 1003
#define IDC_SCW_START_IN 1094
#define IDC_SCW_SHOW 1093
// Extension, registry and special folder pages.
#define IDC_SCW_EXTENSION 1089
#define IDC_SCW_PROGRAM 1087
#define IDC_SCW_SPECIAL 1088
// Folder page.
#define IDC_SCW_FOLDER_AT 1091
// Popup options page.
#define IDC_SCW_VOLATILE 1065
#define IDC_SCW_ICON_SIZE 1132
