// Dialogs of the desktop integration and the desktop right-click menu.
#pragma once

// "Menu Hiding Exclusions"
#define IDD_MENU_HIDING_EXCLUSIONS 230
#define IDC_EXCLUSION_LIST 1322
#define IDC_EXCLUSION_ADD 3
#define IDC_EXCLUSION_REMOVE 4

// "Desktop Right-Click Popup Menu"
#define IDD_DESKTOP_RIGHT_CLICK_BARS 1108
#define IDC_DRC_AVAILABLE 1280
#define IDC_DRC_LISTED 1281
#define IDC_DRC_ADD 1282
#define IDC_DRC_REMOVE 1283
