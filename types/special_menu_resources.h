// The special menu item's page (dialog 120) and its controls.
#pragma once

#define IDD_SPECIAL_MENU_PAGE 120
#define IDC_SPECIAL_MENU_TYPE 1067
#define IDC_SPECIAL_MENU_TYPE_LABEL 1068
#define IDC_SPECIAL_MENU_BEHAVIOR_FRAME 1076
#define IDC_SPECIAL_MENU_BEHAVIOR 1077
