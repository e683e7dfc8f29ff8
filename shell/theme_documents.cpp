// Opening documents: a bar file, a theme file or a theme package named on
// the command line or handed over by a second start, and the main window's
// WM_COPYDATA text: plain commands here, the skin editor's bracketed ones
// in its link.
#include <shlwapi.h>
#include <cstring>

#include "shell/desktop_integration.h"
#include "shell/main_window.h"
#include "shell/skin_editor_link.h"
#include "shell/theme_editor.h"
#include "shell/startup.h"
#include "shell/theme_documents.h"
#include "shell/theme_file.h"
#include "shell/theme_packages.h"
#include "shell/theme_internal.h"

namespace {

void BringMainWindowForward() {
    HWND main = GetMainWindow();
    if (!main) return;
    HWND fg = GetForegroundWindow();
    DWORD fg_thread = fg ? GetWindowThreadProcessId(fg, nullptr) : 0;
    DWORD own = GetCurrentThreadId();
    const bool attach = fg_thread && fg_thread != own && AttachThreadInput(own, fg_thread, TRUE);
    SetForegroundWindow(main);
    if (attach) AttachThreadInput(own, fg_thread, FALSE);
}

}  // namespace

bool OpenDocument(const char* path) {
    if (!path || !path[0]) return false;
    const char* ext = PathFindExtensionA(path);
    BringMainWindowForward();
    if (lstrcmpiA(ext, ".tsbar") == 0) {
        if (!IsPresetMode()) OpenThemeBar(path, nullptr, 0);
        return false;   // the last theme opens as well
    }
    if (lstrcmpiA(ext, ".tstheme") == 0) {
        if (IsPresetMode()) return false;
        LoadThemeFile(path, 0);
        return !SnapshotThemeBarWindows(false).empty();
    }
    if (lstrcmpiA(ext, ".tspack") == 0 || lstrcmpiA(ext, ".zip") == 0) {
        char theme[MAX_PATH] = "";
        return InstallThemePackage(path, theme, sizeof(theme));
    }
    return false;
}

CopyDataCommandCalls& CopyDataCalls() {
    static CopyDataCommandCalls calls = {ShowThemeEditor, OpenDocument};
    return calls;
}

void RunCopyDataCommand(HWND sender, const char* text) {
    if (!text) return;
    if (text[0] == '<') {
        RunSkinEditorCommand(sender, text);
        return;
    }
    const char* document = text;
    // "ReloadSkin " is a command only at the start; a path may hold the words.
    static const char kReloadSkin[] = "ReloadSkin ";
    if (strncmp(text, kReloadSkin, sizeof(kReloadSkin) - 1) == 0) {
        document = text + sizeof(kReloadSkin) - 1;
        ReloadSkinInBars(document, 2, nullptr);
    }
    if (lstrcmpiA(document, "Configure") == 0) {
        CopyDataCalls().show_theme_editor();
        return;
    }
    CopyDataCalls().open_document(document);
}
