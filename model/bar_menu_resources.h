// The bar context menus (resources 213, 216, 220), the "Bar Options"
// submenu (124) and the "Section Options" submenu (123), with their command
// ids, shared by the resource script and the menu code.
#pragma once

// ---- menus ---------------------------------------------------------------------------------
#define IDM_BAR_MENU 213
#define IDM_INTERNAL_BAR_MENU 216
#define IDM_SIMPLE_BAR_MENU 220
#define IDM_BAR_OPTIONS 124
#define IDM_SECTION_OPTIONS 123

// ---- the bar menu -----------------------------------------------------------------------------
#define IDM_LOAD_THEME 40013
#define IDM_CHANGE_THEME_STYLE 40033
#define IDM_NEW_POPUP_ITEM 40135
#define IDM_SECTION_OPTIONS_ENTRY 40137
#define IDM_BAR_OPTIONS_ENTRY 40138
#define IDM_PROPERTIES 40139
#define IDM_PLUGIN_PLACEHOLDER 40140
// IDM_BAR_ITEM_OPTIONS (40141) is in item_menu_resources.h.
#define IDM_NEW_SECTION 40142
#define IDM_NEW_CLOCK_ITEM 40143
#define IDM_NEW_SHORTCUT_ITEM 40144
#define IDM_TASK_MANAGER 40145
#define IDM_INTERNAL_ALWAYS_ON_TOP 40150
// IDM_BAR_CLOSE (40066) is in item_menu_resources.h.

// ---- header lines (owner-drawn; 40063 and 40142 show the item line) ---------------------------------
#define IDM_SECTION_HEADER 40068
#define IDM_BAR_HEADER 40069

// ---- "Bar Options" --------------------------------------------------------------------------
#define IDM_BAR_CHANGE_SKIN_OLD 40072
#define IDM_BAR_ALWAYS_ON_TOP 40074
#define IDM_BAR_GROW_TOP 40075
#define IDM_BAR_GROW_BOTTOM 40076
#define IDM_BAR_GROW_AND 40077
#define IDM_BAR_VERTICAL 40078
#define IDM_BAR_AUTOHIDE 40079
#define IDM_BAR_CURRENT_SKIN 40080
#define IDM_BAR_SHOW_CAPTION 40081
#define IDM_BAR_GROW_LEFT 40082
#define IDM_BAR_GROW_RIGHT 40083
#define IDM_BAR_HORIZONTAL 40084
#define IDM_BAR_DOCK_NONE 40085
#define IDM_BAR_DOCK_TOP 40086
#define IDM_BAR_DOCK_BOTTOM 40087
#define IDM_BAR_DOCK_LEFT 40088
#define IDM_BAR_DOCK_RIGHT 40089
#define IDM_BAR_IGNORE_SKIN_AUTOHIDE 40090
#define IDM_BAR_EDIT_SKIN 40105
#define IDM_BAR_CHANGE_SKIN 40106

// ---- "Section Options" ------------------------------------------------------------------------
#define IDM_SECTION_EDIT_SKIN_NOTE 40038
#define IDM_SECTION_SELECT_IN_EDITOR 40071
#define IDM_SECTION_EDIT_MARGINS 40073
#define IDM_SECTION_COMBINE_SKIN 40091
#define IDM_SECTION_TIGHT_WIDTHS 40092
#define IDM_SECTION_EDIT_BACKGROUND 40093
#define IDM_SECTION_RESIZABLE 40094
#define IDM_SECTION_SHOW_ALL 40095
#define IDM_SECTION_SHOW_ONE 40096
#define IDM_SECTION_DOWN_ARROW 40097
#define IDM_SECTION_SCROLLERS 40098
#define IDM_SECTION_EDIT_ARRANGEMENT 40099
#define IDM_SECTION_FIT_CONTENT 40100
#define IDM_SECTION_EQUAL_WIDTHS 40101
#define IDM_SECTION_MULTIPLE_ROWS 40102
#define IDM_SECTION_CENTER_ITEMS 40103
#define IDM_SECTION_MAXIMIZE_ITEMS 40104
#define IDM_SECTION_SKIN_1 40107
#define IDM_SECTION_SKIN_2 40108
#define IDM_SECTION_SKIN_3 40109
#define IDM_SECTION_SKIN_4 40110
#define IDM_SECTION_ICON_16 40111
#define IDM_SECTION_ICON_32 40112
#define IDM_SECTION_ICON_48 40113
#define IDM_SECTION_ICON_64 40114
#define IDM_SECTION_ICON_CUSTOM 40115
#define IDM_SECTION_TEXT_ONLY 40116
#define IDM_SECTION_ICONS_AND_TEXT 40117
#define IDM_SECTION_ICONS_ONLY 40118
#define IDM_SECTION_HIDE 40119
#define IDM_SECTION_EDIT_RESIZABILITY 40120
#define IDM_SECTION_REMOVE 40121
#define IDM_SECTION_POPUP_ARROWS 40122
