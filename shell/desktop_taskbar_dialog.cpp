// Older systems (before XP) have no application-bar state to set: the
// taskbar is hidden and shown through its own properties dialog, opened
// invisibly, whose "Always on top" and "Auto hide" boxes are switched and
// confirmed with OK. A hidden worker window of our own holds the foreground
// meanwhile, and this routine pumps messages until the action ends.
#include "shell/desktop_integration.h"

namespace {

constexpr WPARAM kTaskbarPropertiesCommand = 65949;   // 413 with high word 1
constexpr DWORD kReopenIntervalMs = 2500;
constexpr DWORD kDeadlineMs = 70000;
constexpr int kFirstSearchLimit = 41;
constexpr int kSearchesPerOpen = 40;
constexpr int kUnboundedSearchAfter = 3000;
constexpr DWORD kIdleWaitMs = 20;
constexpr UINT kButtonTimeoutMs = 2000;

HINSTANCE g_instance = nullptr;
// The worker window of the action in progress; a newer action replaces it,
// which cancels the older one.
HWND g_worker = nullptr;
unsigned g_action_serial = 0;

struct PropertiesAction {
    bool show = false;
    unsigned serial = 0;
    HWND worker = nullptr;
    int attempts = 1;
    int search_limit = kFirstSearchLimit;
    HWND dialog = nullptr;
    DWORD next_reopen = 0;
    DWORD deadline = 0;
};

struct LockTimeout {
    bool saved = false;
    DWORD value = 0;
};
LockTimeout g_lock_timeout;

bool TimeReached(DWORD now, DWORD when) { return static_cast<LONG>(now - when) >= 0; }

void SetBoolProp(HWND wnd, const char* name, bool on) {
    SetPropA(wnd, name, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(on ? 1 : 0)));
}

bool BoolProp(HWND wnd, const char* name) { return GetPropA(wnd, name) != nullptr; }

// The taskbar's Properties command, posted: a hung shell must not block
// this program (the dialog is searched for afterwards in any case).
void OpenTaskbarProperties(HWND worker) {
    HWND taskbar = FindWindowsTaskbar();
    if (!taskbar) return;
    if (!g_lock_timeout.saved) {
        SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &g_lock_timeout.value, 0);
        g_lock_timeout.saved = true;
    }
    SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, 0);
    SetForegroundWindow(worker);
    SetForegroundWindow(taskbar);
    PostMessageA(taskbar, WM_COMMAND, kTaskbarPropertiesCommand, 0);
    SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                          reinterpret_cast<void*>(static_cast<UINT_PTR>(g_lock_timeout.value)), 0);
}

struct DialogSearch {
    HWND worker;
    DWORD taskbar_process;
    HWND found;
};

BOOL CALLBACK FindPropertiesDialogProc(HWND wnd, LPARAM user) {
    auto* search = reinterpret_cast<DialogSearch*>(user);
    if (wnd == search->worker) return TRUE;
    char cls[16] = "";
    GetClassNameA(wnd, cls, sizeof(cls));
    if (lstrcmpA(cls, "#32770") != 0) return TRUE;
    DWORD process = 0;
    GetWindowThreadProcessId(wnd, &process);
    if (process != search->taskbar_process) return TRUE;
    search->found = wnd;
    return FALSE;
}

struct PropertiesDialog {
    HWND dialog = nullptr;
    HWND always_on_top = nullptr;
    HWND auto_hide = nullptr;
};

PropertiesDialog FindPropertiesDialog(HWND worker, HWND taskbar) {
    PropertiesDialog result;
    DialogSearch search = {worker, 0, nullptr};
    GetWindowThreadProcessId(taskbar, &search.taskbar_process);
    EnumWindows(FindPropertiesDialogProc, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return result;
    HWND page = FindWindowExA(search.found, nullptr, "#32770", nullptr);
    if (!page) return result;
    HWND first = FindWindowExA(page, nullptr, "Button", nullptr);
    HWND second = first ? FindWindowExA(page, first, "Button", nullptr) : nullptr;
    if (!second) return result;
    result.dialog = search.found;
    result.always_on_top = first;
    result.auto_hide = second;
    return result;
}

bool IsChecked(HWND button) {
    DWORD_PTR state = 0;
    SendMessageTimeoutA(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kButtonTimeoutMs, &state);
    return state == BST_CHECKED;
}

void SetChecked(HWND button, bool on) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(button, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0, SMTO_ABORTIFHUNG,
                        kButtonTimeoutMs, &ignored);
}

void SwitchTaskbarBoxes(const PropertiesDialog& found, HWND taskbar, bool show) {
    if (show) {
        SetChecked(found.always_on_top, BoolProp(taskbar, "bAlwaysOnTopWasEnabled"));
        SetChecked(found.auto_hide, BoolProp(taskbar, "bAutohideWasEnabled"));
    } else {
        SetBoolProp(taskbar, "bAlwaysOnTopWasEnabled", IsChecked(found.always_on_top));
        SetBoolProp(taskbar, "bAutohideWasEnabled", IsChecked(found.auto_hide));
        SetChecked(found.always_on_top, false);
        SetChecked(found.auto_hide, true);
    }
}

void AdjustHideCount(HWND taskbar, bool show) {
    int count = static_cast<int>(reinterpret_cast<INT_PTR>(GetPropA(taskbar, "TSHideCount")));
    count = show ? (count > 0 ? count - 1 : 0) : count + 1;
    SetPropA(taskbar, "TSHideCount", reinterpret_cast<HANDLE>(static_cast<INT_PTR>(count)));
}

void ShowOrHideTaskbarWindow(HWND taskbar, bool show) {
    if (show) {
        SetWindowRgn(taskbar, nullptr, TRUE);
        ShowWindow(taskbar, SW_SHOWNORMAL);
    } else {
        SetWindowRgn(taskbar, CreateRectRgn(0, 0, 0, 0), TRUE);
        ShowWindow(taskbar, SW_HIDE);
    }
}

void EndAction(PropertiesAction& action) {
    if (action.worker && IsWindow(action.worker)) DestroyWindow(action.worker);
}

// One step of the action, run whenever no message is waiting.
void RunStep(PropertiesAction& action) {
    if (action.serial != g_action_serial) return;   // cancelled by a newer action
    HWND taskbar = FindWindowsTaskbar();
    const DWORD now = GetTickCount();
    if (!taskbar || TimeReached(now, action.deadline)) {
        EndAction(action);
        return;
    }
    if (!action.dialog) {
        ++action.attempts;
        if (action.attempts <= action.search_limit || action.attempts > kUnboundedSearchAfter) {
            PropertiesDialog found = FindPropertiesDialog(action.worker, taskbar);
            if (found.dialog) {
                SwitchTaskbarBoxes(found, taskbar, action.show);
                SetWindowRgn(found.dialog, CreateRectRgn(0, 0, 0, 0), TRUE);
                ShowWindow(found.dialog, SW_HIDE);
                action.dialog = found.dialog;
                AdjustHideCount(taskbar, action.show);
                ShowOrHideTaskbarWindow(taskbar, action.show);
                return;
            }
        }
        if (TimeReached(now, action.next_reopen)) {
            OpenTaskbarProperties(action.worker);
            action.search_limit = action.attempts + kSearchesPerOpen;
            action.next_reopen = now + kReopenIntervalMs;
        }
        return;
    }
    if (IsWindow(action.dialog))
        PostMessageA(action.dialog, WM_COMMAND, IDOK, 0);
    else
        EndAction(action);
}

}  // namespace

void SetTaskbarHideInstance(HINSTANCE instance) { g_instance = instance; }

void DriveTaskbarPropertiesDialog(bool show) {
    SetPropA(FindWindowsTaskbar(), "bActionIsShow",
             reinterpret_cast<HANDLE>(static_cast<INT_PTR>(show ? 1 : 0)));
    if (g_worker && IsWindow(g_worker)) DestroyWindow(g_worker);
    PropertiesAction action;
    action.show = show;
    action.serial = ++g_action_serial;
    action.worker = CreateWindowExA(0, "#32770", "HideTaskbarWindow", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                    CW_USEDEFAULT, 0, 0, nullptr, nullptr,
                                    g_instance ? g_instance : GetModuleHandleA(nullptr), nullptr);
    if (!action.worker) return;
    g_worker = action.worker;
    ForceForegroundWindow(action.worker);
    const DWORD now = GetTickCount();
    action.next_reopen = now + kReopenIntervalMs;
    action.deadline = now + kDeadlineMs;
    OpenTaskbarProperties(action.worker);

    while (IsWindow(action.worker)) {
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // The loop above ours must see it too.
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            continue;
        }
        if (action.serial != g_action_serial) break;
        RunStep(action);
        if (IsWindow(action.worker)) MsgWaitForMultipleObjects(0, nullptr, FALSE, kIdleWaitMs, QS_ALLINPUT);
    }
    if (g_worker == action.worker) g_worker = nullptr;
}
