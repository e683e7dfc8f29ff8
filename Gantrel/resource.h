// Resource numbers of Gantrel.dll.
#pragma once

#define IDR_SPLASH_REGISTRY 105
#define IDD_SPLASH 106
#define IDC_SPLASH_ICON 213
#define IDC_SPLASH_CAPTION 214
#define IDC_SPLASH_STATUS 215
