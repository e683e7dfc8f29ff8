// Page 152 of the menu-mirroring section and its one control.
#pragma once

#define IDD_REPLACEABLE_PAGE 152
#define IDC_REPLACEABLE_ON 1187
