// Resource numbers of the theme editor's creation dialogs: "Create Section",
// "Create New Bar" and the name asked when a bar is saved as a template.
#pragma once

#define IDD_CREATE_SECTION 133
#define IDD_CREATE_NEW_BAR 135
#define IDD_SAVE_BAR_TEMPLATE 1092

// Shared by all three: the title (or name) field.
#define IDC_CREATE_TITLE 1044

// Create Section
#define IDC_CREATE_SECTION_TYPE 1097

// Create New Bar
#define IDC_NEWBAR_FROM_THEME 1239
#define IDC_NEWBAR_THEME_SKINS 1107
#define IDC_NEWBAR_FROM_OTHER 1240
#define IDC_NEWBAR_OTHER_THEME 1236
#define IDC_NEWBAR_OTHER_SKINS 1128
#define IDC_NEWBAR_ORIENTATION 1059
