#include "shell/startup.h"

#include <shlwapi.h>
#include <cstring>
#include <string>
#include <vector>

#include "model/bar_window.h"
#include "model/vellum_menu_object.h"
#include "shell/app_state.h"
#include "shell/desktop_integration.h"
#include "shell/desktop_right_click.h"
#include "shell/global_settings.h"
#include "shell/helper_lines.h"
#include "shell/main_window.h"
#include "shell/program_tray_icon.h"
#include "shell/registered_messages.h"
#include "shell/shell_resources.h"
#include "util/callback_guard.h"
#include "util/general_helpers.h"
#include "util/handles.h"
#include "util/shortcut_files.h"
#include "util/text.h"
#include "util/window_classes.h"


namespace {

HINSTANCE g_instance = nullptr;
int g_version_class = kWinXP;
bool g_preset = false;
bool g_theme_browser = false;
char g_document[MAX_PATH] = "";
bool g_substitute_user_name = false;
char g_user_name[350] = "";
HICON g_small_icon = nullptr;
HICON g_large_icon = nullptr;
HCURSOR g_hand_cursor = nullptr;
const MSG* g_dispatching = nullptr;   // the posted message being dispatched

constexpr const char kUserNameToken[] = "%username%";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

const char* SkipBlanks(const char* text) {
    while (*text && IsBlank(*text)) ++text;
    return text;
}

// Finds a whole-word occurrence outside double quotes, from the given start.
char* FindOption(char* line, const char* option) {
    if (!line || !option || !*option) return nullptr;
    const size_t len = strlen(option);
    bool quoted = false;
    for (char* p = line; *p; ++p) {
        if (*p == '"') {
            quoted = !quoted;
            continue;
        }
        if (quoted) continue;
        bool starts_word = p == line || IsBlank(p[-1]);
        if (starts_word && strncmp(p, option, len) == 0 && (p[len] == '\0' || IsBlank(p[len])))
            return p;
    }
    return nullptr;
}

bool SendWithTimeout(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(wnd, msg, wp, lp, SMTO_NORMAL | SMTO_ABORTIFHUNG, kHandOverTimeoutMs,
                               &result) != 0;
}

void InitShellIconCache() {
    HMODULE shell32 = GetModuleHandleA("shell32.dll");
    if (!shell32) return;
    typedef BOOL(WINAPI * FileIconInitFn)(BOOL);
    auto file_icon_init =
        reinterpret_cast<FileIconInitFn>(GetProcAddress(shell32, MAKEINTRESOURCEA(660)));
    if (file_icon_init) file_icon_init(TRUE);
}

bool ProgramPath(char* path, DWORD size) {
    DWORD n = GetModuleFileNameA(nullptr, path, size);
    return n > 0 && n < size;
}

// Creates (or opens) a key under HKEY_CLASSES_ROOT and sets its default value.
bool SetClassKey(const char* subkey, const char* value) {
    tess::ScopedRegKey key;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                          static_cast<DWORD>(strlen(value) + 1)) == ERROR_SUCCESS;
}

// Start work that the first picture does not need: it runs once the queue
// has emptied, after a wait, which is when the painted bars reach the screen.
constexpr UINT kDeferredStartDelayMs = 10;
bool g_deferred_start_done = false;

void CALLBACK DeferredStartWork(HWND, UINT, UINT_PTR timer, DWORD) {
    if (timer) KillTimer(nullptr, timer);
    if (g_deferred_start_done) return;
    g_deferred_start_done = true;
    tess::GuardTimerProc([] {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
        CVellumMenuObject::DeferDropTargets(false);
        CreateDesktopRightClickBar(GetAppInstance());
        AddDeferredProgramTrayIcon();
        InitShellIconCache();
        RepairStartupEntry();
        RegisterDocumentTypes();
    });
}

int RunMessageLoop() {
    MSG msg;
    int rc;
    while ((rc = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
        if (rc == -1) return 0;
        HWND dialog = GetActiveModelessDialog();
        if (dialog && IsDialogMessageA(dialog, &msg)) continue;
        TranslateMessage(&msg);
        g_dispatching = &msg;
        DispatchMessageA(&msg);
        g_dispatching = nullptr;
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace

// ---- command line ----------------------------------------------------------------------

const char* FindCommandOption(const char* command_line, const char* option) {
    return FindOption(const_cast<char*>(command_line), option);
}

bool BlankCommandOption(char* command_line, const char* option) {
    char* p = FindOption(command_line, option);
    if (!p) return false;
    memset(p, ' ', strlen(option));
    return true;
}

void ExtractDocumentPath(const char* command_line, char* out, size_t out_size) {
    if (!out || !out_size) return;
    tess::CopyText(out, out_size, command_line ? SkipBlanks(command_line) : "");
    PathUnquoteSpacesA(out);
}

HandOverKind ClassifyHandOver(const char* command_line) {
    if (!command_line || !*SkipBlanks(command_line)) return HandOverKind::TrayDoubleClick;
    if (FindCommandOption(command_line, "-themes")) return HandOverKind::ThemeBrowser;
    return HandOverKind::CopyData;
}

bool HandOverToRunningInstance(HWND main_window, const char* command_line) {
    switch (ClassifyHandOver(command_line)) {
    case HandOverKind::TrayDoubleClick:
        return SendWithTimeout(main_window, WM_TSTRAYICON, 0, kTrayIconDoubleClick);
    case HandOverKind::ThemeBrowser:
        return SendWithTimeout(main_window, WM_COMMAND, kCmdThemeBrowserFromStart, 0);
    case HandOverKind::CopyData:
        break;
    }
    // The text goes with a spare byte after its terminator, as receivers expect.
    const char* text = SkipBlanks(command_line);
    std::vector<char> buffer(strlen(text) + 2, '\0');
    memcpy(buffer.data(), text, buffer.size() - 2);
    if (!strstr(buffer.data(), "ReloadSkin ")) PathUnquoteSpacesA(buffer.data());
    COPYDATASTRUCT cds = {};
    cds.dwData = 0;
    cds.cbData = static_cast<DWORD>(strlen(buffer.data()) + 2);
    cds.lpData = buffer.data();
    return SendWithTimeout(main_window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
}

void RunRecoveryStart() {
    if (HWND server = FindWindowA(kTrayServerClass, kTrayServerTitle)) {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(server, WM_TRAYDISARMWATCHDOG, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                            kHandOverTimeoutMs, &result);
    }
    SetDesktopIconsHidden(0, 0);
    ShowWindowsTaskbar();
    DeleteGlobalAtoms(kStartingAtom);
}

int RunTessellar(HINSTANCE instance, const char* command_line) {
    // Mark the start in progress, unless another start already did.
    bool another_start = GlobalFindAtomA(kStartingAtom) != 0;
    if (!another_start) GlobalAddAtomA(kStartingAtom);

    // Values fixed for the whole run.
    InitWindowsVersionClass();
    g_version_class = WindowsVersion();
    ProbeUserNameExpansion();

    std::vector<char> line(strlen(command_line ? command_line : "") + 1, '\0');
    if (command_line) memcpy(line.data(), command_line, line.size());

    // Recovery start after a crash: restore the desktop and nothing else.
    if (FindCommandOption(line.data(), "-recover")) {
        RunRecoveryStart();
        return 0;
    }
    // "-s" (preset run, blanked so it is not read as a document) and "-themes".
    g_preset = BlankCommandOption(line.data(), "-s");
    g_theme_browser = !g_preset && FindCommandOption(line.data(), "-themes");

    // An instance runs: hand the command line over.
    if (HWND running = FindWindowA(kMainWindowClass, kMainWindowTitle)) {
        HandOverToRunningInstance(running, line.data());
        DeleteGlobalAtoms(kStartingAtom);
        return 0;
    }
    // Another start is in progress: leave it alone.
    if (another_start) return 0;

    // The document to open.
    ExtractDocumentPath(line.data(), g_document, sizeof(g_document));

    // Tell the outside statistics tool that the program starts.
    if (HWND tally = FindWindowA("Tallykeeper", nullptr))
        PostMessageA(tally, WM_USER, reinterpret_cast<WPARAM>(GetCurrentProcess()), 0);

    // The instance, the bars' access to the shell, and the shell's icon cache.
    SetAppInstance(instance);
    InstallBarHostServices();
    InstallItemHostCalls();
    InstallBarMenuHostCalls();
    // The shell's icon cache, the start-up entry, the document types, the
    // desktop's right-click handler bar and the bars' drop targets wait until
    // the first bars show (DeferredStartWork); the window classes now.
    RegisterWindowClasses(instance);

    // The program's tray icon also waits; the hidden main window runs the
    // rest of the start-up, and without it the program ends.
    DeferProgramTrayIcon();
    CVellumMenuObject::DeferDropTargets(true);
    HWND main = CreateMainWindow(instance);
    DeleteGlobalAtoms(kStartingAtom);
    if (!main) {
        DeferredStartWork(nullptr, 0, 0, 0);   // nothing to wait for
        return 0;
    }
    if (!SetTimer(nullptr, 0, kDeferredStartDelayMs, DeferredStartWork))
        DeferredStartWork(nullptr, 0, 0, 0);
    // The one message loop of the program.
    const int exit_code = RunMessageLoop();
    DeferredStartWork(nullptr, 0, 0, 0);   // a run closed before it came
    return exit_code;
}

// ---- "%username%" -----------------------------------------------------------------------

bool ProbeUserNameExpansion() {
    g_substitute_user_name = false;
    g_user_name[0] = '\0';
    if (g_version_class >= kWinNT4) return false;
    char expanded[400] = "";
    ExpandEnvironmentStringsA(kUserNameToken, expanded, sizeof(expanded));
    if (strcmp(expanded, kUserNameToken) != 0) return false;
    DWORD size = sizeof(g_user_name) - 1;
    if (!GetUserNameA(g_user_name, &size)) return false;
    g_substitute_user_name = true;
    return true;
}

void SetUserNameSubstitution(const char* user_name) {
    g_substitute_user_name = user_name != nullptr;
    tess::CopyText(g_user_name, user_name ? user_name : "");
}

bool ExpandUserNameInPath(const char* source, char* dest, size_t dest_size) {
    if (!g_substitute_user_name || !source || !dest || dest_size == 0) return false;
    // Replace in a copy, scanning only the original text: a user name that
    // itself contains the token is not expanded again.
    std::string result;
    const size_t token_len = strlen(kUserNameToken);
    bool replaced = false;
    for (const char* p = source; *p;) {
        const char* hit = strstr(p, kUserNameToken);
        if (!hit) {
            result.append(p);
            break;
        }
        result.append(p, hit - p);
        result.append(g_user_name);
        p = hit + token_len;
        replaced = true;
    }
    if (!replaced) {
        if (dest != source) tess::CopyText(dest, dest_size, source);
        return false;
    }
    if (result.size() >= dest_size) {
        // It does not fit: leave the text unexpanded rather than cut it.
        if (dest != source) tess::CopyText(dest, dest_size, source);
        return false;
    }
    tess::CopyText(dest, dest_size, result.c_str());
    return true;
}

// ---- registration -------------------------------------------------------------------------

bool RegisterFileType(const char* extension, const char* type_name, const char* description,
                      const char* open_command, const char* icon) {
    if (!extension || !type_name || !description) return false;
    if (!SetClassKey(extension, type_name)) return false;
    if (!SetClassKey(type_name, description)) return false;
    std::string sub;
    if (open_command) {
        sub = std::string(type_name) + "\\shell\\open\\command\\";
        if (!SetClassKey(sub.c_str(), open_command)) return false;
    }
    if (icon) {
        sub = std::string(type_name) + "\\DefaultIcon\\";
        if (!SetClassKey(sub.c_str(), icon)) return false;
    }
    return true;
}

bool RegisterDocumentTypes() {
    struct DocumentType {
        const char* extension;
        const char* name;
        bool has_command;
        int icon;
    };
    static const DocumentType kTypes[] = {
        {".tstheme", "Tessellar Theme", true, 1},
        {".tsbar", "Tessellar Bar", true, 2},
        {".tsskin", "Tessellar Skin", false, 3},
        {".tspack", "Tessellar Package", true, 1},
    };
    char path[MAX_PATH];
    if (!ProgramPath(path, sizeof(path))) return false;
    char command[MAX_PATH + 16];
    tess::FormatText(command, sizeof(command), "\"%s\" \"%%1\"", path);
    bool ok = true;
    for (const DocumentType& t : kTypes) {
        char icon[MAX_PATH + 16];
        tess::FormatText(icon, sizeof(icon), "\"%s\",%d", path, t.icon);
        ok = RegisterFileType(t.extension, t.name, t.name, t.has_command ? command : nullptr, icon) &&
             ok;
    }
    return ok;
}

bool RegisterWindowClasses(HINSTANCE instance) {
    // Loaded once: a second registration keeps the handles others hold.
    if (!g_hand_cursor) g_hand_cursor = LoadCursorA(instance, MAKEINTRESOURCEA(IDR_HAND_CURSOR));
    if (!g_small_icon)
        g_small_icon = static_cast<HICON>(
            LoadImageA(instance, MAKEINTRESOURCEA(IDI_PROGRAM_ICON), IMAGE_ICON, 16, 16, 0));
    if (!g_large_icon)
        g_large_icon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_PROGRAM_ICON),
                                                     IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                     GetSystemMetrics(SM_CYICON), 0));
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hIcon = g_large_icon;
    wc.hIconSm = g_small_icon;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kMainWindowClass;
    // Every class is attempted, so one failure does not hide another.
    bool ok = RegisterOwnWindowClass(wc);
    ok = RegisterBarWindowClasses(instance, g_large_icon, g_small_icon) && ok;
    ok = RegisterHelperLinesClass(instance) && ok;
    return ok;
}

HWND CreateMainWindow(HINSTANCE instance) {
    return CreateWindowExA(WS_EX_TOOLWINDOW, kMainWindowClass, kMainWindowTitle,
                           WS_OVERLAPPEDWINDOW, 50, 50, 100, 100, nullptr, nullptr, instance,
                           nullptr);
}

void SetProgramIcons(HWND wnd) {
    if (!wnd) return;
    SendMessageA(wnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_small_icon));
    SendMessageA(wnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(g_large_icon));
}

bool GetPluginsFolder(char* buffer) {
    if (!buffer) return false;
    if (!GetProgramFolder(buffer)) return false;
    PathAddBackslashA(buffer);
    if (!tess::AppendText(buffer, MAX_PATH, "VTPlugins\\")) return false;
    if (!PathIsDirectoryA(buffer)) CreateDirectoryA(buffer, nullptr);
    return true;
}

void RepairStartupEntry() {
    if (StartupShortcutExists(kOldStartupShortcutName, nullptr)) {
        DeleteStartupShortcut(kOldStartupShortcutName);
        DeleteStartupShortcut(kStartupShortcutName);
        CreateStartupShortcut(kStartupShortcutName);
    }
    if (IsBootkeeperEnabled() && StartupShortcutExists(kStartupShortcutName, nullptr))
        SetBootkeeperValue("Tessellar", true);
}

bool IsSynchronousCallFromThisThread(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (InSendMessage()) return false;   // sent by another thread or process
    const MSG* d = g_dispatching;
    return !(d && d->hwnd == wnd && d->message == msg && d->wParam == wp && d->lParam == lp);
}

// ---- process-wide values ----------------------------------------------------------------

HINSTANCE GetAppInstance() { return g_instance ? g_instance : GetModuleHandleA(nullptr); }
void SetAppInstance(HINSTANCE instance) { g_instance = instance; }
int GetStartupVersionClass() { return g_version_class; }
bool IsPresetMode() { return g_preset; }
bool IsThemeBrowserRequested() { return g_theme_browser; }
const char* GetCommandLineDocument() { return g_document; }
HICON GetSmallProgramIcon() { return g_small_icon; }
HICON GetLargeProgramIcon() { return g_large_icon; }
HCURSOR GetHandCursor() { return g_hand_cursor; }
