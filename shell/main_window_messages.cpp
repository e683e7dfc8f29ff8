// The registered messages the main window answers itself, and the relay of
// every other message from WM_USER upwards to the stats monitor and the bars.
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <vector>

#include "model/live_objects.h"
#include "util/icon_menu.h"
#include "shell/app_state.h"
#include "shell/desktop_integration.h"
#include "shell/desktop_right_click.h"
#include "shell/menu_hiding_exclusions.h"
#include "shell/global_settings.h"
#include "shell/helper_lines.h"
#include "shell/theme_editor.h"
#include "shell/main_window.h"
#include "shell/main_window_internal.h"
#include "shell/program_tray_icon.h"
#include "shell/registered_messages.h"
#include "shell/startup.h"
#include "shell/stats_monitor.h"
#include "shell/theme_file.h"
#include "util/callback_guard.h"
#include "util/bar_registry.h"
#include "util/general_helpers.h"

namespace {

using Outcome = MessageOutcome;

void UpdateLVSkinRunning(WPARAM wp) {
    bool before = ThemeUsesLVSkin();
    bool after = wp != 0 || AnyBarUsesLVSkin();
    if (after != before) SetThemeUsesLVSkin(after);
}

// The shell's Run dialog (shell32 ordinal 61).
void CallRunDialog(HWND wnd) {
    HMODULE shell32 = GetModuleHandleA("shell32.dll");
    if (!shell32) return;
    typedef void(WINAPI * RunFileDlgFn)(HWND, HICON, const void*, const void*, const void*, UINT);
    auto run = reinterpret_cast<RunFileDlgFn>(GetProcAddress(shell32, MAKEINTRESOURCEA(61)));
    if (!run) return;
    static const char kTitle[] = "Run";
    static const char kPrompt[] =
        "Type the name of a program, folder, document, or Internet resource, and Tessellar will "
        "open it for you.";
    if (GetStartupVersionClass() >= kWinNT4) {
        WCHAR title[200], prompt[1600];
        MultiByteToWideChar(CP_ACP, 0, kTitle, -1, title, 200);
        MultiByteToWideChar(CP_ACP, 0, kPrompt, -1, prompt, 1600);
        run(wnd, nullptr, nullptr, title, prompt, 0);
    } else {
        run(wnd, nullptr, nullptr, kTitle, kPrompt, 0);
    }
}

// "ShouldEnableMousehook": the answer goes into an int of the asking bar.
// Only a bar of this thread asking synchronously has an int behind wParam.
Outcome ShouldEnableMousehook(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    if (!GlobalFindAtomA("TS-DeskRClk")) return Outcome::Relay;
    int* answer = reinterpret_cast<int*>(wp);
    if (answer && IsOwnedRecord(answer) && IsSynchronousCallFromThisThread(wnd, msg, wp, lp) &&
        IsWritableCallerBuffer(answer, sizeof(int)))
        *answer = 1;
    *result = 1;
    return Outcome::Return;
}

// A shell context menu and verb handed over by a shortcut item of this
// process; only objects the program registered as its own are touched.
LRESULT InvokeShortcutCommand(HWND wnd, WPARAM wp, LPARAM lp) {
    if (!wp || !IsOwnedRecord(reinterpret_cast<void*>(wp))) return 0;
    UnregisterOwnedRecord(reinterpret_cast<void*>(wp));
    auto* menu = reinterpret_cast<IContextMenu*>(wp);
    // The verb is the chosen entry's offset in the shell's menu: 0 is its
    // first entry (usually "Open"), a verb like any other.
    bool verb_ok = IS_INTRESOURCE(lp) || IsOwnedRecord(reinterpret_cast<void*>(lp));
    if (verb_ok) {
        CMINVOKECOMMANDINFO info = {};
        info.cbSize = sizeof(info);
        info.fMask = 0;
        info.hwnd = wnd;
        info.lpVerb = reinterpret_cast<LPCSTR>(lp);
        info.nShow = SW_SHOWNORMAL;
        menu->InvokeCommand(&info);
    }
    menu->Release();
    return verb_ok ? 1 : 0;
}

// An entry of a shell folder menu handed over by a shortcut item of this
// process with a reference on its menu; only a menu and an entry the program
// registered as its own are touched.
LRESULT OpenShellMenuEntry(HWND wnd, WPARAM wp, LPARAM lp) {
    void* menu_record = reinterpret_cast<void*>(wp);
    void* entry_record = reinterpret_cast<void*>(lp);
    if (!menu_record || !IsOwnedRecord(menu_record)) return 0;
    UnregisterOwnedRecord(menu_record);
    LRESULT opened = 0;
    if (entry_record && IsOwnedRecord(entry_record)) {
        UnregisterOwnedRecord(entry_record);
        auto* entry = static_cast<ShellMenuItem*>(entry_record);
        opened = InvokeDefaultVerb(wnd, entry->parent, entry->relative) ? 1 : 0;
    }
    static_cast<CShellFolderMenu*>(menu_record)->Release();
    return opened;
}

BOOL CALLBACK CollectBarWindow(HWND wnd, LPARAM user) {
    return tess::GuardEnumProc([&]() -> BOOL {
        char cls[64] = "";
        GetClassNameA(wnd, cls, sizeof(cls));
        if (lstrcmpA(cls, "Tessellar Toolbar") == 0)
            reinterpret_cast<std::vector<HWND>*>(user)->push_back(wnd);
        return TRUE;
    });
}

void PassUpdateHiddenLayers(UINT msg, WPARAM wp, LPARAM lp) {
    std::vector<HWND> bars;
    EnumWindows(CollectBarWindow, reinterpret_cast<LPARAM>(&bars));
    for (auto it = bars.rbegin(); it != bars.rend(); ++it)
        if (IsWindow(*it)) SendMessageA(*it, msg, wp, lp);
}

// A new window of another program that opened above or left of the work
// area is moved onto it.
void MoveNewWindowOntoWorkArea(HWND target) {
    if (!target || !IsWindow(target)) return;
    DetectFullScreenWindow(target);
    if (IsFullScreenAppActive()) return;
    LONG style = GetWindowLongA(target, GWL_STYLE);
    if ((style & WS_CAPTION) != WS_CAPTION || IsZoomed(target) || IsIconic(target)) return;
    RECT work = {}, rc = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(target, &rc);
    int x = rc.left, y = rc.top;
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
    if (x != rc.left || y != rc.top)
        SetWindowPos(target, nullptr, x, y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

struct RelayedMessage {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};

BOOL CALLBACK RelayToBar(HWND bar_window, LPARAM user) {
    const auto* m = reinterpret_cast<const RelayedMessage*>(user);
    if (IsWindow(bar_window) && GetPropA(bar_window, "lpMenuObject"))
        SendMessageA(bar_window, m->msg, m->wp, m->lp);
    return TRUE;
}

}  // namespace

void RelayToBars(UINT msg, WPARAM wp, LPARAM lp) {
    StatsMonitorHandleMessage(msg, wp, lp);
    RelayedMessage m = {msg, wp, lp};
    EnumBarWindowsSafe(RelayToBar, reinterpret_cast<LPARAM>(&m));
}

MessageOutcome HandleRegisteredMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    const ShellMessages& m = Msgs();
    *result = 0;
    if (msg == m.UpdateHiddenTaskbarDelay) {
        RecheckHiddenTaskbar();
        return Outcome::Relay;
    }
    if (msg == m.UpdateLVSkinRunning) {
        UpdateLVSkinRunning(wp);
        return Outcome::Relay;
    }
    if (msg == m.ShouldEnableMousehook) return ShouldEnableMousehook(wnd, msg, wp, lp, result);
    if (msg == m.ConfigurePlugin) {
        *result = ConfigurePluginFromMessage(wp);
        return Outcome::Return;
    }
    if (msg == m.DesktopRightClick) {
        SetForegroundWindow(wnd);
        ShowDesktopRightClickMenu(nullptr);
        return Outcome::End;
    }
    if (msg == m.ActivateTaskbar) return Outcome::Relay;   // accepted; nothing sends it
    if (msg == m.SelectItemDelay) {
        if (IsLiveObjectFromMessage(wp)) SelectInThemeEditor(reinterpret_cast<void*>(wp), static_cast<int>(lp));
        return Outcome::End;
    }
    if (msg == m.RemoveTempNoCloseVolatile) return Outcome::End;
    if (msg == m.HideTaskbarInternal) {
        ApplyHideTaskbar();
        return Outcome::End;
    }
    if (msg == m.CallRunDialog) {
        CallRunDialog(wnd);
        return Outcome::Relay;
    }
    if (msg == m.BarNewPopup || msg == m.BarThemeLoaded || msg == m.BarShowing) {
        CVellumMenuObject* bar = LiveBarFromMessage(wp);
        if (bar && (msg == m.BarShowing || GetThemeEditorWindow())) AddBarToEditorTree(bar);
        return Outcome::Relay;
    }
    if (msg == m.BarCreated) return Outcome::Relay;
    if (msg == m.SwapItemsBehavior) {
        if (!wp || !lp) return Outcome::End;
        *result = SwapItemsFromMessage(wp, lp);
        return Outcome::Return;
    }
    if (msg == m.RemoveItemDelay) {
        RemoveItemFromMessage(wp);
        return Outcome::End;
    }
    if (msg == m.RemoveSectionDelay) {
        RemoveSectionFromMessage(wp);
        return Outcome::End;
    }
    if (msg == m.BarHiding) {
        SetJustOpenedPopup(nullptr);
        CVellumMenuObject* bar = LiveBarFromMessage(wp);
        if (bar && !BarStillCountsAsOpen(bar)) RemoveEditorNode(bar);
        return Outcome::Relay;
    }
    if (msg == m.GetAfterWindowOnTop) {
        *result = FindWindowAfterOnTop(reinterpret_cast<HWND>(wp), static_cast<int>(lp));
        return Outcome::Return;
    }
    if (msg == m.BarClosing) {
        // The bar is being deleted and no longer counts as live: the helper
        // lines only compare the pointer with theirs, and are told even while
        // no overlay shows, so a closed bar is never kept highlighted.
        HelperLinesBarClosing(reinterpret_cast<CVellumMenuObject*>(wp));
        SetJustOpenedPopup(nullptr);
        // Only compared with the editor's bar nodes, never read: a closing
        // bar leaves no node behind that names freed memory.
        if (GetThemeEditorWindow())
            DeleteEditorNode(FindEditorNode(reinterpret_cast<void*>(wp), false, nullptr));
        return Outcome::End;
    }
    if (msg == m.BarClosed) {
        // The bar is gone by the time the update arrives.
        PostHiddenTaskbarUpdate();
        return Outcome::End;
    }
    if (msg == m.FolderMenuExePidl) {
        *result = OpenShellMenuEntry(wnd, wp, lp);
        return Outcome::Return;
    }
    if (msg == m.PresenceProbe) {
        *result = static_cast<LRESULT>(msg) + 1;
        return Outcome::Return;
    }
    if (msg == m.InvokeShortcutCommand) {
        *result = InvokeShortcutCommand(wnd, wp, lp);
        return Outcome::Return;
    }
    if (msg == m.ShowTrayIcon) {
        ShowProgramTrayIcon(!Settings().bHideTrayIcon);
        return Outcome::Relay;
    }
    if (msg == m.UpdateHiddenLayers) {
        PassUpdateHiddenLayers(msg, wp, lp);
        return Outcome::Relay;
    }
    if (msg == WM_HOOK_WINDOW_ACTIVATED) {
        if (IsWindow(reinterpret_cast<HWND>(wp))) DetectFullScreenWindow(reinterpret_cast<HWND>(wp));
        return Outcome::Relay;
    }
    if (msg == WM_HOOK_WINDOW_CREATED) {
        MoveNewWindowOntoWorkArea(reinterpret_cast<HWND>(wp));
        return Outcome::Relay;
    }
    if (msg == m.TaskbarCreated) {
        if (Settings().bDesktopIconsHidden) {
            MarkDesktopIconsRehidePending();
            SetTimer(wnd, kDesktopIconsTimerId, 1000, nullptr);
        }
        return Outcome::Relay;
    }
    if (msg == m.HideMenusIsWndAllowed) {
        *result = IsWindowMenuHidingExcluded(reinterpret_cast<HWND>(wp)) ? 2 : 1;
        return Outcome::Return;
    }
    return Outcome::Relay;
}
