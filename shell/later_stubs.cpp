// Not built yet: each body stays empty (or reports failure) until the module
// it belongs to replaces it. Listed by the module that will own it.
#include "shell/later_stubs.h"

// ---- theme editor ------------------------------------------------
void ShowThemeEditor() {}
HWND GetThemeEditorWindow() { return nullptr; }
void SendThemeEditorCommand(UINT) {}
void AddBarToEditorTree(CVellumMenuObject*) {}
void RemoveEditorNode(const void*) {}
void SelectEditorObject(const void*, int) {}
void SuspendEditorPageRedraw(bool) {}
void AddItemToEditorTreeAndSelect(const void*) {}
void CreateWizardFonts() {}
void FreeWizardFonts() {}

// ---- tray server -------------------------------------------------------------------------------------------

// ---- skin lists ----------------------------------------------------------------------------------------
int FillSkinFileCombo(HWND, const char*, const char*) { return 0; }
int FillThemeFolderCombo(HWND, const char*, const char*) { return 0; }
bool GetSelectedSkinPath(HWND, char* out, size_t size) {
    if (out && size) out[0] = '\0';
    return false;
}

// ---- icons: import into the theme --------------------------------------------------------------------
int ImportBitmapIntoTheme(char*, int, SkinRecord*) { return 0; }

// ---- icons: Change Icon and icon import ---------------------------------------------------------------
bool ShowChangeIconDialog(HWND, const char*, char*, size_t, int*) { return false; }
int ShowChangeIconDialog(char*, int*, int, HWND) { return 0; }
int ImportIconIntoTheme(char*, int*) { return 0; }
bool ImportIconIntoTheme(const char*, char*, size_t) { return false; }
