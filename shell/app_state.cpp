#include "shell/app_state.h"

#include <shlwapi.h>

#include "model/live_objects.h"
#include "model/vellum_menu_object.h"
#include "shell/global_settings.h"
#include "shell/desktop_integration.h"
#include "shell/theme_editor.h"
#include "shell/main_window.h"
#include "shell/registered_messages.h"
#include "shell/theme_file.h"
#include "shell/theme_menus.h"
#include "util/text.h"

namespace {

struct LayerState {
    int is_volatile;
    int hidden;
};

LayerState g_layers[kLayerCount] = {};
char g_theme_file[MAX_PATH] = "";
char g_theme_folder[MAX_PATH] = "";
bool g_closing_theme_bars = false;
bool g_theme_loading = false;
bool g_saving_theme = false;
bool g_disable_systray_time_filtering = false;
HWND g_active_dialog = nullptr;
HWND g_just_opened_popup = nullptr;
DWORD g_just_opened_tick = 0;
int g_hotkey_counter = 81;
FILETIME g_smart_cutoff = {};
bool g_smart_recompute = true;
bool g_smart_expanded = false;

bool ValidLayer(int layer) { return layer >= 0 && layer < kLayerCount; }

bool ThemeSubfolder(char* buffer, const char* sub) {
    if (!buffer) return false;
    buffer[0] = '\0';
    // Without a theme there is no such folder: the bare name would point into
    // whatever folder the program happens to run in.
    if (!g_theme_folder[0]) return false;
    tess::CopyText(buffer, MAX_PATH, g_theme_folder);
    return tess::AppendText(buffer, MAX_PATH, sub);
}

}  // namespace

int GetProgramVersion() { return kProgramVersion; }

// ---- layers ---------------------------------------------------------------------

bool IsLayerHidden(int layer) {
    return ValidLayer(layer) && g_layers[layer].is_volatile && g_layers[layer].hidden;
}

int IsLayerVolatile(int layer) { return ValidLayer(layer) ? g_layers[layer].is_volatile : 0; }

int ToggleLayerHidden(int layer) {
    if (!ValidLayer(layer)) return 0;
    g_layers[layer].hidden = !g_layers[layer].hidden;
    return g_layers[layer].hidden;
}

int ToggleLayerVolatile(int layer) {
    if (!ValidLayer(layer)) return 0;
    g_layers[layer].is_volatile = !g_layers[layer].is_volatile;
    return g_layers[layer].is_volatile;
}

void SetLayerFlags(int layer, int is_volatile, int hidden) {
    if (!ValidLayer(layer)) return;
    g_layers[layer].is_volatile = is_volatile ? 1 : 0;
    g_layers[layer].hidden = hidden ? 1 : 0;
}

void ResetLayerFlags() {
    for (LayerState& l : g_layers) l = LayerState{};
}

int HideVolatileLayers(bool send) {
    HWND fg = GetForegroundWindow();
    if (!fg) return 1;
    // A bar or one of our configuration windows in front keeps the layers.
    if (GetPropA(fg, "lpMenuObject") || GetPropA(fg, "TSConfigDialog")) return 0;
    bool any_volatile = false;
    for (LayerState& l : g_layers) {
        if (l.is_volatile) {
            l.hidden = 1;
            any_volatile = true;
        }
    }
    HWND main = GetMainWindow();
    if (any_volatile && main) {
        if (send)
            SendMessageA(main, Msgs().UpdateHiddenLayers, 0, 0);
        else
            PostMessageA(main, Msgs().UpdateHiddenLayers, 0, 0);
    }
    return 1;
}

// ---- current theme --------------------------------------------------------------------

bool SetCurrentThemeFile(const char* path) {
    const char* newer = path ? path : "";
    // The new theme ends first in the recent list and the old one second.
    PushRecentThemes(g_theme_file[0] ? g_theme_file : nullptr, newer[0] ? newer : nullptr);
    tess::CopyText(g_theme_file, newer);
    if (newer[0]) {
        char folder[MAX_PATH];
        tess::CopyText(folder, newer);
        PathRemoveFileSpecA(folder);
        PathAddBackslashA(folder);
        tess::CopyText(g_theme_folder, folder);
    }
    WriteLastTheme(g_theme_file);
    return true;
}

const char* GetCurrentThemeFile() { return g_theme_file; }
const char* GetThemeFolder() { return g_theme_folder; }
bool GetThemeIconsFolder(char* buffer) { return ThemeSubfolder(buffer, "Bars\\Icons\\"); }
bool GetThemeBitmapsFolder(char* buffer) { return ThemeSubfolder(buffer, "Bars\\Bitmaps\\"); }
bool GetThemeBarsFolder(char* buffer) { return ThemeSubfolder(buffer, "Bars\\"); }

bool ClearRecentThemes() {
    ClearRecentThemeList();
    return true;
}

// ---- theme flags ------------------------------------------------------------------------------

bool IsThemeLoading() { return g_theme_loading; }
void SetThemeLoading(bool loading) { g_theme_loading = loading; }
bool IsSavingTheme() { return g_saving_theme; }
void SetSavingTheme(bool saving) { g_saving_theme = saving; }
bool GetDisableSystrayTimeFiltering() { return g_disable_systray_time_filtering; }
void SetDisableSystrayTimeFiltering(bool disabled) { g_disable_systray_time_filtering = disabled; }

bool IsThemeEditorDisabled() {
    HWND editor = GetThemeEditorWindow();
    return editor && IsWindow(editor) && !IsWindowEnabled(editor);
}

// ---- closing --------------------------------------------------------------------------------

bool IsClosingBars() { return g_closing_theme_bars || IsClosingMainWindow(); }
void SetClosingThemeBars(bool closing) { g_closing_theme_bars = closing; }

// ---- modeless dialogs ------------------------------------------------------------------------

void TrackModelessDialog(HWND dlg, UINT msg, WPARAM wp) {
    if (msg != WM_ACTIVATE) return;
    if (LOWORD(wp) != WA_INACTIVE)
        g_active_dialog = dlg;
    else if (g_active_dialog == dlg)
        g_active_dialog = nullptr;
}

HWND GetActiveModelessDialog() {
    if (g_active_dialog && !IsWindow(g_active_dialog)) g_active_dialog = nullptr;
    return g_active_dialog;
}

// ---- popup-open guard --------------------------------------------------------------------------

void SetJustOpenedPopup(HWND popup) {
    g_just_opened_popup = popup;
    g_just_opened_tick = popup ? GetTickCount() : 0;
}

bool IsPopupOpenGuardOver() {
    if (g_just_opened_tick && GetTickCount() - g_just_opened_tick < kPopupOpenGuardMs) return false;
    g_just_opened_tick = 0;
    return true;
}

HWND GetJustOpenedPopup() {
    if (!g_just_opened_popup || !g_just_opened_tick) return nullptr;
    if (GetTickCount() - g_just_opened_tick >= kPopupOpenGuardMs) return nullptr;
    if (!IsWindow(g_just_opened_popup)) {
        g_just_opened_popup = nullptr;
        g_just_opened_tick = 0;
        return nullptr;
    }
    HWND fg = GetForegroundWindow();
    if (!fg || GetWindowThreadProcessId(fg, nullptr) != GetCurrentThreadId()) return nullptr;
    return g_just_opened_popup;
}

// ---- hotkeys ------------------------------------------------------------------------------------

int AllocHotkeyId() { return ++g_hotkey_counter; }

// ---- bar titles ------------------------------------------------------------------------------

BOOL CALLBACK IsBarTitleFreeProc(HWND bar_window, LPARAM title) {
    const char* wanted = reinterpret_cast<const char*>(title);
    if (!wanted) return TRUE;
    CVellumMenuObject* bar = LiveBarOfWindow(bar_window);
    if (!bar || IsInternalBar(bar)) return TRUE;
    return lstrcmpiA(bar->Title, wanted) == 0 ? FALSE : TRUE;
}

// ---- smart menus --------------------------------------------------------------------------------

int GetSmartMenusEnabled() { return Settings().SmartMenusEnabled; }

FILETIME ComputeSmartMenusCutoff(const SYSTEMTIME& today, int days, int weeks, int months) {
    static const int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int year = today.wYear;
    int month = today.wMonth - months;
    int day = today.wDay - days - 7 * weeks;
    while (month < 1) { month += 12; --year; }
    while (day < 1) {
        --month;
        while (month < 1) { month += 12; --year; }
        day += kMonthDays[month - 1];
    }
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    FILETIME ft = {};
    SystemTimeToFileTime(&st, &ft);
    return ft;
}

FILETIME GetSmartMenusCutoffTime() {
    if (!g_smart_recompute) return g_smart_cutoff;
    g_smart_recompute = false;
    SYSTEMTIME now;
    GetLocalTime(&now);
    const GlobalSettings& s = Settings();
    g_smart_cutoff = ComputeSmartMenusCutoff(now, s.SmartMenus_Days, s.SmartMenus_Weeks,
                                             s.SmartMenus_Months);
    return g_smart_cutoff;
}

void InvalidateSmartMenusCutoff() { g_smart_recompute = true; }

void SetSmartMenusExpanded(bool expanded) {
    if (g_smart_expanded && !expanded) g_smart_recompute = true;
    g_smart_expanded = expanded;
}

bool GetSmartMenusExpanded() { return g_smart_expanded; }
