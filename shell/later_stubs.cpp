// Not built yet: each body stays empty (or reports failure) until the module
// it belongs to replaces it. Listed by the module that will own it.
#include "shell/later_stubs.h"
#include "shell/startup.h"
#include "util/window_classes.h"

// ---- theme editor, helper lines ------------------------------------------------
void ShowThemeEditor() {}
HWND GetThemeEditorWindow() { return nullptr; }
void SendThemeEditorCommand(UINT) {}
void AddBarToEditorTree(CVellumMenuObject*) {}
void RemoveEditorNode(const void*) {}
void SelectEditorObject(const void*, int) {}
void SuspendEditorPageRedraw(bool) {}
void AddItemToEditorTreeAndSelect(const void*) {}
bool ShowHelperLines() { return false; }
bool AreHelperLinesShown() { return false; }
void NotifyHelperLinesBarClosing(CVellumMenuObject*) {}
// The overlay window is not built; its class exists already, with the
// default procedure, so that the start-up's classes are all there.
bool RegisterHelperLinesClass(HINSTANCE instance) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kHelperLinesClass;
    return RegisterOwnWindowClass(wc);
}

// ---- tray server -------------------------------------------------------------------------------------------
