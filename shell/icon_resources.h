// Resource numbers of the icon dialogs: Change Icon, the custom icon size
// and the question before an icon is copied into the theme.
#pragma once

#define IDD_CHANGE_ICON 1060
#define IDC_CI_FILE 12290
#define IDC_CI_ICONS 12297
#define IDC_CI_BROWSE 12288

#define IDD_CUSTOM_ICON_SIZE 157
#define IDC_CIS_SIZE 1132

#define IDD_IMPORT_ICON 162
#define IDC_II_OUTSIDE 1001
#define IDC_II_TARGET 1002
#define IDC_II_CHOICES 1003
#define IDC_II_SAVE_AS 1004
