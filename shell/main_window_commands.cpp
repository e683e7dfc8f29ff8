// The numbered commands of the notification menu, sent to the main window
// as WM_COMMAND by the menu, by bars and by a second start.
#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include "model/live_objects.h"
#include "model/vellum_menu_object.h"
#include "shell/about_box.h"
#include "shell/app_state.h"
#include "shell/global_settings.h"
#include "shell/helper_lines.h"
#include "shell/theme_editor.h"
#include "shell/desktop_integration.h"
#include "shell/desktop_right_click.h"
#include "shell/main_window.h"
#include "shell/main_window_internal.h"
#include "shell/registered_messages.h"
#include "shell/startup.h"
#include "shell/theme_dialogs.h"
#include "shell/theme_browser.h"
#include "shell/theme_file.h"
#include "shell/theme_packages.h"
#include "util/bar_registry.h"
#include "util/general_helpers.h"
#include "util/text.h"

namespace {

constexpr const char kThemeLibraryPage[] = "https://www.vantrell.com/tessellar/themes/";
constexpr UINT kEditorCreateBarCommand = 1106;

void OpenCurrentThemeFolder() {
    if (!GetCurrentThemeFile()[0]) return;
    ShellExecuteA(nullptr, nullptr, GetThemeFolder(), nullptr, nullptr, SW_SHOWNORMAL);
}

BOOL CALLBACK FitBarProc(HWND wnd, LPARAM) {
    CVellumMenuObject* bar = LiveBarOfWindow(wnd);
    if (!bar || IsInternalBarWindow(wnd)) return TRUE;
    RECT rc = {}, was = {};
    GetWindowRect(wnd, &rc);
    was = rc;
    const int screen_w = GetSystemMetrics(SM_CXSCREEN);
    const int screen_h = GetSystemMetrics(SM_CYSCREEN);
    if (rc.right > screen_w) OffsetRect(&rc, screen_w - rc.right, 0);
    if (rc.bottom > screen_h) OffsetRect(&rc, 0, screen_h - rc.bottom);
    if (rc.left < 0) OffsetRect(&rc, -rc.left, 0);
    if (rc.top < 0) OffsetRect(&rc, 0, -rc.top);
    if (!EqualRect(&rc, &was))
        bar->SetPos(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, nullptr, 0, 0, 0);
    return TRUE;
}

}  // namespace

void FitBarsOntoScreen() { EnumBarWindows(FitBarProc, 0); }

void ReloadTheme() {
    char path[MAX_PATH];
    tess::CopyText(path, GetCurrentThemeFile());
    CloseThemeBarsWithoutSaving();
    if (!LoadThemeFile(path, 0)) SetHideTaskbar(0, 0);
}

void CreateBarFromTemplate() {
    char folder[MAX_PATH], probe[MAX_PATH];
    tess::CopyText(folder, GetThemeFolder());
    GetThemeBarsFolder(probe);
    if (PathIsDirectoryA(probe)) {
        tess::CopyText(folder, probe);
        tess::AppendText(probe, "Templates");
        if (PathIsDirectoryA(probe)) tess::CopyText(folder, probe);
    }
    char file[MAX_PATH] = "";
    if (!ShowOpenFileDialog(GetMainWindow(), file, "Load Template",
                            "Bar Files (*.tsbar)\0*.tsbar\0", folder, true))
        return;
    if (!FileExists(file)) return;
    ShowThemeEditor();
    auto* bar = new CVellumMenuObject(GetMainWindow());
    bar->LoadTheme(file, 1, nullptr);
    bar->m_barFile[0] = '\0';   // saved as a new bar
    bar->SetModified();
    bar->Show(1);
    PostMessageA(GetMainWindow(), Msgs().SelectItemDelay, reinterpret_cast<WPARAM>(bar), 0);
}

void TrayMenuCommand(HWND wnd, UINT id) {
    switch (id) {
    case kCmdBarBrowser:
        ShowThemeBrowser(2);
        break;
    case kCmdUnload:
        SetForegroundWindow(wnd);
        SendMessageA(wnd, Msgs().VolatileClose, 0, 0);
        PostMessageA(wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case kCmdConfigureTheme:
        ShowThemeEditor();
        if (Settings().bHelperEnabled) ShowHelperLines(nullptr);
        break;
    case kCmdAbout:
        {
            const AboutBoxInfo info = ProgramAboutBoxInfo(wnd, GetAppInstance());
            ShowAboutBox(&info);
        }
        break;
    case kCmdGeneralOptions:
        ShowGeneralOptionsDialog();
        break;
    case kCmdThemeBrowser:
    case kCmdThemeBrowserFromStart:
        ShowThemeBrowser(0);
        break;
    case kCmdCreateBar:
        ShowThemeEditor();
        SendThemeEditorCommand(kEditorCreateBarCommand);
        break;
    case kCmdSaveTheme:
        SaveThemeFile(GetCurrentThemeFile(), 1, 0);
        break;
    case kCmdThemeOptions:
        ShowThemeOptionsDialog();
        break;
    case kCmdFitBars:
        FitBarsOntoScreen();
        break;
    case kCmdPackTheme:
        PackUpTheme();
        break;
    case kCmdStartNewTheme:
        StartNewTheme();
        break;
    case kCmdReloadTheme:
        ReloadTheme();
        break;
    case kCmdClearRecentThemes:
        ClearRecentThemes();
        break;
    case kCmdOpenThemeFolder:
        OpenCurrentThemeFolder();
        break;
    case kCmdThemeLibraryPage:
        ShellExecuteA(nullptr, nullptr, kThemeLibraryPage, nullptr, nullptr, SW_SHOWNORMAL);
        break;
    case kCmdCreateBarFromTemplate:
        CreateBarFromTemplate();
        break;
    case kCmdChangeThemeStyle:
        ShowThemeStylesDialog();
        break;
    case kCmdSaveAlternateStyle:
        ShowSaveAlternateStyleDialog();
        break;
    case kCmdPackExpansion:
        PackUpExpansion();
        break;
    case kCmdDesktopBarsDialog:
        ShowDesktopRightClickBarsDialog();
        break;
    case kCmdSaveAndReload:
        SaveThemeFile(GetCurrentThemeFile(), 0, 0);
        ReloadTheme();
        break;
    default:
        break;   // 40146 and every other id: nothing
    }
}
