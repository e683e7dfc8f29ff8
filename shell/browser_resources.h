// Resource numbers of the theme browser, the Change Theme Styles dialog and
// the About box.
#pragma once

#define IDD_THEME_BROWSER 319
#define IDD_THEME_STYLES 1081
#define IDD_ABOUT_BOX 102

#define IDI_BROWSER_THEMES 106
#define IDI_BROWSER_RECENT 199
#define IDI_BROWSER_BARS 207
#define IDI_BROWSER_WEB 329
#define IDI_BROWSER_WINDOW 183
#define IDI_STYLES_WINDOW 184
#define IDC_ABOUT_HAND 101

// Theme browser
#define IDC_TB_BROWSE_THEME 3
#define IDC_TB_RESET_RECENT 4
#define IDC_TB_DELETE 5
#define IDC_TB_BROWSE_BAR 1003
#define IDC_TB_STYLES 1264
#define IDC_TB_STYLES_LABEL 1265
#define IDC_TB_LOAD_TEMPLATE 1280
#define IDC_TB_DELETE_BAR 1281
#define IDC_TB_THEMES 1502
#define IDC_TB_RECENT 1503
#define IDC_TB_ALL_BARS 1504
#define IDC_TB_THEME_BARS 1505
#define IDC_TB_TABS 1517

// Change Theme Styles
#define IDC_TS_STYLES 1264
#define IDC_TS_PREVIEW 1266

// About box
#define IDC_ABOUT_ICON 1293
#define IDC_ABOUT_EDGE1 1016
#define IDC_ABOUT_EDGE2 1017
#define IDC_ABOUT_LINK1 1018
#define IDC_ABOUT_LINK2 1019
#define IDC_ABOUT_BUILD 1268

#ifdef __cplusplus
// The list box of each tab 0..3.
constexpr int kBrowserListIds[4] = {IDC_TB_THEMES, IDC_TB_RECENT, IDC_TB_THEME_BARS, IDC_TB_ALL_BARS};
#endif
