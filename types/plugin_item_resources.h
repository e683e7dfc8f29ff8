// The plug-in item's page (dialog 1063), the plug-ins browser (dialog 223)
// and their controls.
#pragma once

#define IDD_PLUGIN_PAGE 1063
#define IDD_PLUGINS_BROWSER 223
#define IDI_PLUGIN_ITEM 159
#define IDC_PLUGIN_INFO 1409
#define IDC_PLUGIN_INFO_LABEL 1410
#define IDC_PLUGIN_SELECT 1003
#define IDC_PLUGIN_CONFIGURE 1246
#define IDC_PLUGIN_BEHAVIOR_FRAME 1076
#define IDC_PLUGIN_BEHAVIOR 1077
#define IDC_PLUGINS_LIST 1009
