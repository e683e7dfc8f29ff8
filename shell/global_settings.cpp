#include "shell/desktop_integration.h"
#include "shell/global_settings.h"

#include "shell/desktop_right_click.h"
#include "shell/menu_hiding_exclusions.h"
#include "shell/type_services.h"
#include "shell/registered_messages.h"
#include "util/shortcut_files.h"
#include "shell/startup.h"
#include "skins/skin_painting.h"
#include "util/handles.h"
#include "util/text.h"

namespace {

GlobalSettings g_settings;
int g_last_version = 0;

struct SettingField {
    const char* name;
    int GlobalSettings::*field;
};

// Read and written in this order.
const SettingField kFields[] = {
    {"UseSimpleMenus", &GlobalSettings::UseSimpleMenus},
    {"bDisableGlow", &GlobalSettings::bDisableGlow},
    {"bDisableDoubleClicking", &GlobalSettings::bDisableDoubleClicking},
    {"bUseTearoff", &GlobalSettings::bUseTearoff},
    {"bDisableAnimations", &GlobalSettings::bDisableAnimations},
    {"bDisableLanternfoldAtStart", &GlobalSettings::bDisableLanternfoldAtStart},
    {"bHideBehaviorWarning", &GlobalSettings::bHideBehaviorWarning},
    {"bHideTrayIcon", &GlobalSettings::bHideTrayIcon},
    {"bAutoSaveBars", &GlobalSettings::bAutoSaveBars},
    {"bHideMenubars", &GlobalSettings::bHideMenubars},
    {"bHideExplorerMenubars", &GlobalSettings::bHideExplorerMenubars},
    {"bHelperEnabled", &GlobalSettings::bHelperEnabled},
    {"bUserModeMenus", &GlobalSettings::bUserModeMenus},
    {"bDesktopIconsHidden", &GlobalSettings::bDesktopIconsHidden},
    {"bDesktopRClickingEnabled", &GlobalSettings::bDesktopRClickingEnabled},
    {"SmartMenusEnabled", &GlobalSettings::SmartMenusEnabled},
    {"SmartMenus_Months", &GlobalSettings::SmartMenus_Months},
    {"SmartMenus_Weeks", &GlobalSettings::SmartMenus_Weeks},
    {"SmartMenus_Days", &GlobalSettings::SmartMenus_Days},
    {"bWinTabEnabled", &GlobalSettings::bWinTabEnabled},
};

bool ReadDword(HKEY key, const char* name, int* value) {
    DWORD data = 0, type = 0, size = sizeof(data);
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(data))
        return false;
    *value = static_cast<int>(data);
    return true;
}

bool WriteDword(HKEY key, const char* name, int value) {
    DWORD data = static_cast<DWORD>(value);
    LONG rc = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                             sizeof(data));
    if (rc != ERROR_SUCCESS) {
        char note[160];
        tess::FormatText(note, sizeof(note), "Tessellar: writing the option %s failed (%ld)\n",
                         name, rc);
        OutputDebugStringA(note);
        return false;
    }
    return true;
}

bool IsAgeField(const char* name) { return strncmp(name, "SmartMenus_", 11) == 0; }

// "OriginalSmartMenuTime": a stale or future value is dropped, a good one
// starts the smart menus' clock.
void LoadSmartMenuStartTime(HKEY key) {
    FILETIME stored = {};
    DWORD type = 0, size = sizeof(stored);
    if (RegQueryValueExA(key, "OriginalSmartMenuTime", nullptr, &type,
                         reinterpret_cast<BYTE*>(&stored), &size) != ERROR_SUCCESS ||
        size != sizeof(stored))
        return;
    if (stored.dwLowDateTime == 0 && stored.dwHighDateTime == 0) return;
    SYSTEMTIME now_st;
    GetLocalTime(&now_st);
    FILETIME now = {};
    SystemTimeToFileTime(&now_st, &now);
    if (g_last_version < 100 || CompareFileTime(&stored, &now) >= 0)
        RegDeleteValueA(key, "OriginalSmartMenuTime");
    else
        SetSmartMenusStartTime(stored);
}

HWND FindTrayServerWindow() { return FindWindowA(kTrayServerClass, kTrayServerTitle); }

// The painting code below the shell keeps its own copy of the glow option.
void PassGlowOptionDown() { SetSkinGlowDisabled(g_settings.bDisableGlow != 0); }

bool ProgramPath(char* path, DWORD size) {
    DWORD n = GetModuleFileNameA(nullptr, path, size);
    return n > 0 && n < size;
}

}  // namespace

GlobalSettings& Settings() { return g_settings; }
int GetLastTSVersion() { return g_last_version; }

HKEY OpenSettingsKey() {
    tess::ScopedRegKey software, vantrell, tessellar;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_ALL_ACCESS, software.put()) !=
        ERROR_SUCCESS)
        return nullptr;
    if (RegCreateKeyExA(software.get(), "Vantrell", 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, vantrell.put(), nullptr) != ERROR_SUCCESS)
        return nullptr;
    if (RegCreateKeyExA(vantrell.get(), "Tessellar", 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, tessellar.put(), nullptr) != ERROR_SUCCESS)
        return nullptr;
    return tessellar.release();
}

bool LoadGlobalSettings() {
    const GlobalSettings defaults;
    tess::ScopedRegKey key(OpenSettingsKey());
    g_last_version = 0;
    if (!key) {
        g_settings = defaults;
        PassGlowOptionDown();
        return false;
    }
    ReadDword(key.get(), "LastTSVersion", &g_last_version);

    bool smart_menus_stored = false;
    for (const SettingField& f : kFields) {
        if (IsAgeField(f.name)) continue;   // read with "SmartMenusEnabled" below
        g_settings.*(f.field) = defaults.*(f.field);
        bool found = ReadDword(key.get(), f.name, &(g_settings.*(f.field)));
        if (f.field == &GlobalSettings::bDesktopIconsHidden) {
            SetDesktopIconsHidden(g_settings.bDesktopIconsHidden, 1);
        } else if (f.field == &GlobalSettings::bDesktopRClickingEnabled) {
            UpdateDesktopRightClickHook();
        } else if (f.field == &GlobalSettings::SmartMenusEnabled) {
            smart_menus_stored = found;
            g_settings.SmartMenus_Months = defaults.SmartMenus_Months;
            g_settings.SmartMenus_Weeks = defaults.SmartMenus_Weeks;
            g_settings.SmartMenus_Days = defaults.SmartMenus_Days;
            if (smart_menus_stored) {
                int months = 0, weeks = 0, days = 0;
                bool any = ReadDword(key.get(), "SmartMenus_Months", &months);
                any = ReadDword(key.get(), "SmartMenus_Weeks", &weeks) || any;
                any = ReadDword(key.get(), "SmartMenus_Days", &days) || any;
                if (any) {
                    g_settings.SmartMenus_Months = months;
                    g_settings.SmartMenus_Weeks = weeks;
                    g_settings.SmartMenus_Days = days;
                }
            }
        } else if (f.field == &GlobalSettings::bWinTabEnabled) {
            LoadMenuHidingExclusions(key.get());
            UpdateDesktopRightClickHook();
        }
    }
    LoadSmartMenuStartTime(key.get());
    key.reset();

    // The tray server cannot stay disabled while the program itself starts
    // with Windows.
    if (g_settings.bDisableLanternfoldAtStart && IsRunAtStartupOn()) {
        g_settings.bDisableLanternfoldAtStart = 0;
        SyncTrayIconServerAutostart();
    }
    PassGlowOptionDown();
    return true;
}

bool SaveGlobalSettings() {
    if (IsPresetMode()) return false;
    tess::ScopedRegKey key(OpenSettingsKey());
    if (!key) {
        OutputDebugStringA("Tessellar: the options key could not be opened; options not saved\n");
        return false;
    }
    bool ok = WriteDword(key.get(), "LastTSVersion", kSettingsVersion);
    for (const SettingField& f : kFields) ok = WriteDword(key.get(), f.name, g_settings.*(f.field)) && ok;
    ok = SaveMenuHidingExclusions(key.get()) && ok;
    return ok;
}

bool WriteLastTSPath() {
    tess::ScopedRegKey key(OpenSettingsKey());
    if (!key) return false;
    char path[MAX_PATH];
    if (!ProgramPath(path, sizeof(path))) return false;
    return RegSetValueExA(key.get(), "LastTSPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                          static_cast<DWORD>(strlen(path) + 1)) == ERROR_SUCCESS;
}

bool SyncTrayIconServerAutostart() {
    HWND server = FindTrayServerWindow();
    if (!server && StartTrayIconServer()) {
        // The server needs a moment to create its window; wait for it, bounded.
        const DWORD start = GetTickCount();
        while (!(server = FindTrayServerWindow()) && GetTickCount() - start < 5000) Sleep(50);
    }
    if (!server) return false;
    const WPARAM enable = g_settings.bDisableLanternfoldAtStart ? 0 : 1;
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(server, WM_TRAYSETAUTOSTART, enable, enable, SMTO_ABORTIFHUNG,
                               2000, &result) != 0;
}

// ---- accessors ----------------------------------------------------------------------

int GetDisableGlow() { return g_settings.bDisableGlow; }
int GetDisableDoubleClicking() { return g_settings.bDisableDoubleClicking; }
int GetUseTearoff() { return g_settings.bUseTearoff; }
int GetDisableAnimations() { return g_settings.bDisableAnimations; }
int GetAutoSaveBars() { return g_settings.bAutoSaveBars; }
int GetHideBehaviorWarning() { return g_settings.bHideBehaviorWarning; }
void SetHideBehaviorWarning(int value) { g_settings.bHideBehaviorWarning = value; }
int GetDesktopRClickingEnabled() { return g_settings.bDesktopRClickingEnabled; }
int GetHideMenubars() { return g_settings.bHideMenubars; }
int GetMenuHidingFlags() {
    return (g_settings.bHideMenubars ? 1 : 0) | (g_settings.bHideExplorerMenubars ? 2 : 0);
}
int GetUseSimpleMenus() { return g_settings.UseSimpleMenus; }
int GetUserModeMenus() { return g_settings.bUserModeMenus; }
int GetDisableLanternfoldAtStart() { return g_settings.bDisableLanternfoldAtStart; }
int GetHideTrayIcon() { return g_settings.bHideTrayIcon; }
int GetHelperEnabled() { return g_settings.bHelperEnabled; }
int GetWinTabEnabled() { return g_settings.bWinTabEnabled; }
int GetDesktopIconsHiddenSetting() { return g_settings.bDesktopIconsHidden; }

// ---- run at start-up ------------------------------------------------------------------

int IsBootkeeperEnabled() {
    tess::ScopedRegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kCommonKeyPath, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return 0;
    int value = 0;
    return ReadDword(key.get(), "QLNStartupEnabled", &value) ? value : 0;
}

bool BootkeeperValueExists(const char* name) {
    if (!name) return false;
    tess::ScopedRegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kBootkeeperKeyPath, 0, KEY_READ, key.put()) !=
        ERROR_SUCCESS)
        return false;
    char value[311] = "";
    DWORD type = 0, size = sizeof(value) - 1;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    value[size < sizeof(value) ? size : sizeof(value) - 1] = '\0';
    return value[0] != '\0';
}

bool SetBootkeeperValue(const char* name, bool on) {
    if (!name) return false;
    tess::ScopedRegKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kBootkeeperKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return false;
    if (!on) {
        LONG rc = RegDeleteValueA(key.get(), name);
        return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
    }
    char path[MAX_PATH];
    if (!ProgramPath(path, sizeof(path))) return false;
    return RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                          static_cast<DWORD>(strlen(path) + 1)) == ERROR_SUCCESS;
}

bool IsRunAtStartupOn() {
    if (IsBootkeeperEnabled()) return BootkeeperValueExists("Tessellar");
    return StartupShortcutExists(kStartupShortcutName, nullptr);
}

bool SetRunAtStartup(bool on) {
    if (IsBootkeeperEnabled()) return SetBootkeeperValue("Tessellar", on);
    if (on) return CreateStartupShortcut(kStartupShortcutName);
    DeleteStartupShortcut(kStartupShortcutName);
    return !StartupShortcutExists(kStartupShortcutName, nullptr);
}
