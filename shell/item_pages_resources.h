// Templates and control ids of the item property pages and of the two
// dialogs that edit an item's own popup menu.
#pragma once

// ---- templates ----------------------------------------------------------------------------
#define IDD_ITEM_DISPLAY_TEXT 1087
#define IDD_ITEM_DISPLAY_ICON 1085
#define IDD_ITEM_DISPLAY_SEPARATOR 1088
#define IDD_ITEM_DISPLAY_BITMAP 1101
#define IDD_ITEM_BEHAVIOR 1124
#define IDD_ITEM_HOTKEY 1236
#define IDD_EDIT_POPUP_MENU 1234
#define IDD_POPUP_ENTRY 123

// ---- Display page: the part all four templates share --------------------------------------------
#define IDC_DISPLAY_TITLE 1041
#define IDC_DISPLAY_ACTIVE_TEXT 1135
#define IDC_DISPLAY_MODE 1271
#define IDC_DISPLAY_RADIO_TEXT 1169
#define IDC_DISPLAY_RADIO_ICON 1170
#define IDC_DISPLAY_RADIO_BITMAP 1171
#define IDC_DISPLAY_RADIO_SEPARATOR 1134
#define IDC_DISPLAY_TEXT_WITH_ICON 1133
#define IDC_DISPLAY_SELECT_BITMAP 1291
// text template
#define IDC_DISPLAY_TEXT_ALIGN 1313
// icon template
#define IDC_DISPLAY_LOAD_FROM_FILE 1020
#define IDC_DISPLAY_ICON1 1015
#define IDC_DISPLAY_ICON2 1016
#define IDC_DISPLAY_BROWSE1 1126
#define IDC_DISPLAY_BROWSE2 1127
#define IDC_DISPLAY_ACTIVE_ICON 1021
#define IDC_DISPLAY_ICON_SIZE 1132
// separator template
#define IDC_DISPLAY_ANCHOR 1184
// bitmap template
#define IDC_DISPLAY_STATES 1290
#define IDC_DISPLAY_TRANSPARENCY 1174
#define IDC_DISPLAY_SKIN_BEHIND 1175
#define IDC_DISPLAY_RELATIVE 1182
#define IDC_DISPLAY_BITMAP_ALIGN 1314

// ---- Behavior page -------------------------------------------------------------------------------------
#define IDC_BEHAVIOR_CLASS 1077
#define IDC_BEHAVIOR_WINDOW 1080
#define IDC_BEHAVIOR_SYSTEM 1337
#define IDC_BEHAVIOR_TESSELLAR 1078
#define IDC_BEHAVIOR_CLIPBOARD 1079
#define IDC_BEHAVIOR_MORE_SYSTEM 1075
#define IDC_BEHAVIOR_CUSTOMIZE_POPUP 1338

// ---- Edit Popup Menu and Item Properties -------------------------------------------------------------------
#define IDC_POPUP_ROWS 1073
#define IDC_POPUP_ADD 1074
#define IDC_POPUP_EDIT 1079
#define IDC_POPUP_ADD_SEPARATOR 1081
#define IDC_POPUP_REMOVE 1078
#define IDC_POPUP_UP 1075
#define IDC_POPUP_DOWN 1076
#define IDC_ENTRY_TITLE 1041
#define IDC_ENTRY_ACTION 1072
