#include "shell/main_window.h"
#include "skins/skin_cache.h"

#include <shlwapi.h>
#include <cstdio>
#include <cstring>

#include "shell/app_state.h"
#include "shell/desktop_integration.h"
#include "shell/desktop_right_click.h"
#include "shell/menu_hiding_exclusions.h"
#include "shell/global_settings.h"
#include "shell/theme_editor.h"
#include "shell/type_services.h"
#include "shell/main_window_internal.h"
#include "shell/program_tray_icon.h"
#include "shell/registered_messages.h"
#include "shell/shell_resources.h"
#include "shell/startup.h"
#include "shell/stats_monitor.h"
#include "shell/theme_documents.h"
#include "shell/theme_browser.h"
#include "shell/theme_file.h"
#include "shell/theme_packages.h"
#include "shell/theme_menus.h"
#include "shell/wizard_framework.h"
#include "util/bar_registry.h"
#include "util/callback_guard.h"
#include "util/general_helpers.h"
#include "util/handles.h"
#include "util/paths.h"
#include "util/profile_writer.h"
#include "util/text.h"

namespace {

constexpr const char kProgramIni[] = "Tessellar.ini";
constexpr int kEditorIconIds[6] = {IDI_EDITOR_142, IDI_EDITOR_144, IDI_EDITOR_140,
                                   IDI_EDITOR_151, IDI_EDITOR_150, IDI_EDITOR_239};

class MainWindow {
public:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

    HWND wnd = nullptr;
    char exe_folder[MAX_PATH] = "";
    char themes_root[MAX_PATH] = "";
    char ini_path[MAX_PATH] = "";
    char last_theme[MAX_PATH] = "";
    HICON editor_icons[6] = {};
    bool app_active = false;
    bool double_click_opens_browser = false;
    bool closing = false;
    bool session_ending = false;
    int end_session_answer = 0;
    int kept_save_answer = 0;

private:
    LRESULT Handle(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnCreate();
    bool CreatePresetTheme();
    LRESULT OnClose();
    void OnDestroy();
    LRESULT OnQueryEndSession();
    void OnEndSession(bool ending);
    LRESULT OnCopyData(HWND sender, const COPYDATASTRUCT* cds);
    LRESULT OnTrayIcon(LPARAM mouse_message);
    void OnTimer(UINT id);
    BOOL OnDrawItem(const DRAWITEMSTRUCT* dis);
};

MainWindow g_main;

void StoreProgramFolder(MainWindow& m) {
    if (!GetProgramFolder(m.exe_folder)) m.exe_folder[0] = '\0';
    PathAddBackslashA(m.exe_folder);
    SetCurrentDirectoryA(m.exe_folder);
}

LRESULT CALLBACK MainWindow::Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    return tess::GuardWindowProc(wnd, msg, wp, lp, [&] { return g_main.Handle(wnd, msg, wp, lp); });
}

LRESULT MainWindow::Handle(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        wnd = w;
        return OnCreate();
    case WM_CLOSE:
        return OnClose();
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_QUERYENDSESSION:
        return OnQueryEndSession();
    case WM_ENDSESSION:
        OnEndSession(wp != 0);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wp) == WA_INACTIVE) {
            PostMessageA(w, Msgs().VolatileClose, 0, 0);
            PostMessageA(w, Msgs().VolatileLayerCheck, 0, 0);
        }
        break;
    case WM_ACTIVATEAPP:
        app_active = wp != 0;
        break;
    case WM_INITMENUPOPUP:
    case WM_RBUTTONDOWN:
    case WM_EXITMENULOOP:
    case WM_APPBARCALLBACK:
        return DefWindowProcA(w, msg, wp, lp);
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        mis->itemWidth = 8;
        mis->itemHeight = 18;
        return TRUE;
    }
    case WM_DRAWITEM:
        return OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
    case WM_COPYDATA:
        return OnCopyData(reinterpret_cast<HWND>(wp), reinterpret_cast<const COPYDATASTRUCT*>(lp));
    case WM_TSTRAYICON:
        return OnTrayIcon(lp);
    case WM_COMMAND:
        TrayMenuCommand(w, LOWORD(wp));
        return 0;
    case WM_TIMER:
        OnTimer(static_cast<UINT>(wp));
        return 0;
    default:
        break;
    }
    if (msg >= WM_USER) {
        LRESULT result = 0;
        switch (HandleRegisteredMessage(w, msg, wp, lp, &result)) {
        case MessageOutcome::Return:
            return result;
        case MessageOutcome::End:
            break;
        case MessageOutcome::Relay:
            RelayToBars(msg, wp, lp);
            break;
        }
    }
    return DefWindowProcA(w, msg, wp, lp);
}

LRESULT MainWindow::OnCreate() {
    // The start is no longer in progress once the main window exists.
    DeleteGlobalAtoms(kStartingAtom);
    // Process-wide preparations: fonts, instance, version, monitors, the
    // menu-hiding exclusions, and the program path other tools read.
    CreateWizardFonts(GetAppInstance());
    SetThemeBrowserInstance(GetAppInstance());
    InitWindowsVersionClass();
    BindMonitorFunctions();
    ClearMenuHidingExclusions();
    WriteLastTSPath();
    // The tray server, unless one already runs.
    if (!FindWindowA(kTrayServerClass, kTrayServerTitle)) StartTrayIconServer();
    // The editor's icons, and the mark that tells this window apart.
    for (int i = 0; i < 6; ++i)
        editor_icons[i] = static_cast<HICON>(LoadImageA(
            GetAppInstance(), MAKEINTRESOURCEA(kEditorIconIds[i]), IMAGE_ICON, 16, 16, 0));
    SetPropA(wnd, "TSMainWindow", reinterpret_cast<HANDLE>(1));
    // The program folder as current directory, the themes root, the INI path.
    StoreProgramFolder(*this);
    tess::CopyText(themes_root, exe_folder);
    tess::CopyText(ini_path, exe_folder);
    tess::AppendText(ini_path, kProgramIni);
    // A preset run records the theme for the next start and ends here.
    if (IsPresetMode()) {
        CreatePresetTheme();
        return -1;
    }
    // The most-used list and the global settings.
    CreateMFUList();
    SetTaskbarHideInstance(GetAppInstance());
    LoadGlobalSettings();
    // The notification icon, hidden when the settings say so.
    CreateProgramTrayIcon(wnd, !Settings().bHideTrayIcon);
    // The skin cache and the stats monitor.
    InitSkinCache(GetAppInstance());
    CreateStatsMonitor(wnd);
    StatsMonitorSetWinTabEnabled(Settings().bWinTabEnabled);
    // No theme is open yet; remember the last one from "Tessellar.ini".
    ResetThemeInfo(0);
    last_theme[0] = '\0';
    ClearThemeHasStyles();
    ReloadLastThemePath();
    // What ran since may have moved the current directory: back to the program folder.
    StoreProgramFolder(*this);
    // The document from the command line; else the last theme; else the
    // Theme Browser to choose one.
    if (!OpenDocument(GetCommandLineDocument())) {
        if (!(last_theme[0] && PathExists(last_theme) && LoadThemeFile(last_theme, 0)))
            ShowThemeBrowser(0);
    }
    // "-themes" opens the Theme Browser as well.
    if (IsThemeBrowserRequested()) ShowThemeBrowser(0);
    return 0;
}

// "-s": record the given theme as the one to open at the next start.
bool MainWindow::CreatePresetTheme() {
    const char* document = GetCommandLineDocument();
    if (!document[0]) return false;
    char theme[MAX_PATH];
    tess::CopyText(theme, document);
    const char* ext = PathFindExtensionA(document);
    if (lstrcmpiA(ext, ".tspack") == 0) {
        char found[MAX_PATH] = "";
        if (InstallThemePackage(document, found, sizeof(found)) && found[0])
            tess::CopyText(theme, found);
    }
    PushRecentThemes(nullptr, theme);
    SetFileAttributesA(ini_path, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(ini_path);
    char value[MAX_PATH];
    if (!RelativeToFolder(exe_folder, theme, value, sizeof(value))) return false;
    return tess::WriteProfileString("Settings", "LastTheme", value, ini_path) != 0;
}

LRESULT MainWindow::OnClose() {
    if (HWND editor = GetThemeEditorWindow()) SendMessageA(editor, WM_COMMAND, IDOK, 0);
    if (HWND options = GetGeneralOptionsDialog()) SendMessageA(options, WM_COMMAND, IDOK, 0);
    closing = true;
    if (!CloseTheme()) {
        closing = false;   // the user cancelled: keep running
        return 0;
    }
    DestroyWindow(wnd);
    return 0;
}

void MainWindow::OnDestroy() {
    if (HWND importer = FindWindowA(nullptr, "RI-RO Vuda Derividi"))
        PostMessageA(importer, Msgs().ExitLVConverter, 0, 0);
    FreeDesktopRightClickBar(0);
    DeleteWizardFonts();
    if (IsPresetMode()) return;
    FreeMFUList();
    FreeProgramTrayIcon();
    FreeStatsMonitor();
    FreeSkinCache();
    SaveGlobalSettings();
    RemovePropA(wnd, "TSMainWindow");
    SetHideTaskbar(0, 1);
    SetDesktopIconsHidden(0, 0);
    FreeMenuHidingExclusions();
    for (HICON& icon : editor_icons) {
        if (icon) DestroyIcon(icon);
        icon = nullptr;
    }
    PostQuitMessage(0);
}

LRESULT MainWindow::OnQueryEndSession() {
    end_session_answer = 0;
    int answer = 0;
    if (ShouldSaveTheme(&answer)) {
        kept_save_answer = answer;
        end_session_answer = answer;
        return TRUE;
    }
    // Cancel refuses the log-off once; the next query asks again.
    if (answer == -2 || kept_save_answer == -2) {
        kept_save_answer = 0;
        return 0;
    }
    return TRUE;
}

void MainWindow::OnEndSession(bool ending) {
    if (!ending) return;
    session_ending = true;
    if (GetThemeHidesTaskbar()) ApplyHideTaskbar();
    if (end_session_answer) {
        int answer = end_session_answer;
        end_session_answer = 0;
        if (SaveThemeBeforeClose(answer))
            CloseThemeBars();
        else
            CloseThemeBarsWithoutSaving();
    } else {
        CloseThemeBarsWithoutSaving();
    }
}

LRESULT MainWindow::OnCopyData(HWND sender, const COPYDATASTRUCT* cds) {
    std::string text;
    if (!CopyDataText(cds, &text)) return 0;
    RunCopyDataCommand(sender, text.c_str());
    return 1;
}

LRESULT MainWindow::OnTrayIcon(LPARAM mouse_message) {
    switch (mouse_message) {
    case kTrayIconDoubleClick:
        if (double_click_opens_browser)
            ShowThemeBrowser(0);
        else
            ShowThemeEditor();
        return 0;
    case kTrayIconRightDown:
        ShowTrayMenu();
        return 0;
    default:
        return HandleTrayIconClick(mouse_message);
    }
}

void MainWindow::OnTimer(UINT id) {
    if (id == kDesktopIconsTimerId) SetDesktopIconsHidden(GetWantedDesktopIconsHidden(), 1);
}

BOOL MainWindow::OnDrawItem(const DRAWITEMSTRUCT* dis) {
    if (!dis || !dis->itemData) return FALSE;
    DrawIconEx(dis->hDC, 4, dis->rcItem.top, reinterpret_cast<HICON>(dis->itemData), 16, 16, 0,
               nullptr, DI_NORMAL);
    return TRUE;
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    return MainWindow::Proc(wnd, msg, wp, lp);
}

HWND GetMainWindow() { return g_main.wnd && IsWindow(g_main.wnd) ? g_main.wnd : nullptr; }
const char* GetExeFolder() { return g_main.exe_folder; }
bool IsClosingMainWindow() { return g_main.closing; }
bool IsSessionEnding() { return g_main.session_ending; }
bool IsApplicationActive() { return g_main.app_active; }
bool GetDoubleClickOpensBrowser() { return g_main.double_click_opens_browser; }
void SetDoubleClickOpensBrowser(bool on) { g_main.double_click_opens_browser = on; }
const char* GetLastThemePath() { return g_main.last_theme; }

void ReloadLastThemePath() {
    char value[311] = "";
    GetPrivateProfileStringA("Settings", "LastTheme", "", value, sizeof(value), g_main.ini_path);
    g_main.last_theme[0] = '\0';
    if (!value[0]) return;
    // A theme on another drive is stored with its full path, which stands
    // for itself; one that cannot be held is no last theme.
    CombineCanonical(g_main.themes_root, value, g_main.last_theme);
}

bool CopyDataText(const COPYDATASTRUCT* cds, std::string* text) {
    if (!cds || !cds->lpData || !text) return false;
    const char* data = static_cast<const char*>(cds->lpData);
    text->assign(data, strnlen(data, cds->cbData));
    return true;
}

extern "C" __declspec(dllexport) int VTSSaveState(const char* file_path) {
    if (!file_path || !file_path[0]) return 0;
    // Binary append: the line ends in exactly one CR LF.
    FILE* f = fopen(file_path, "ab");
    if (!f) return 0;
    static const char kLine[] = "Additional crash information from Tessellar:\r\n";
    bool ok = fwrite(kLine, 1, sizeof(kLine) - 1, f) == sizeof(kLine) - 1;
    ok = fclose(f) == 0 && ok;
    return ok ? 1 : 0;
}
