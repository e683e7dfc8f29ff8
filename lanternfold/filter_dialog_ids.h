// Template and control numbers of the two filtering dialogs.
#pragma once

#define IDD_ICON_FILTER 101
#define IDD_REPLACEMENT_ICON 102

#define IDC_RESTORE_DEFAULTS 3
#define IDC_ICON_LIST 1000
#define IDC_MINUTES 1001
#define IDC_MINUTES_LABEL 1002
#define IDC_MINUTES_SPIN 1003
#define IDC_BEHAVIOR_COMBO 1004
#define IDC_RESET_ICON 1006
#define IDC_CHOOSE_ICON 1007
