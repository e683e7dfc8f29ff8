// Page 158 of the virtual desktops section: the dialog, its controls and the
// section's icon.
#pragma once

#define IDD_VIRTUAL_DESKTOPS_PAGE 158
#define IDI_VIRTUAL_DESKTOPS 158
#define IDC_VD_TOP_SPIN 1008
#define IDC_VD_LEFT_SPIN 1009
#define IDC_VD_BOTTOM_SPIN 1010
#define IDC_VD_RIGHT_SPIN 1011
#define IDC_VD_TOP 1213
#define IDC_VD_LEFT 1214
#define IDC_VD_BOTTOM 1215
#define IDC_VD_RIGHT 1216
#define IDC_VD_PREFERENCES 1217
#define IDC_VD_PREVENT_BACKGROUND 1292
