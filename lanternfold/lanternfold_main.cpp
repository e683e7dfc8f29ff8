// Entry point of Lanternfold.exe, the tray icon server: the single start,
// the command-line switches, the server window and the message loop.
#include <windows.h>
#include <commctrl.h>
#include <cstring>

#include "lanternfold/run_at_startup.h"
#include "lanternfold/server_window.h"
#include "lanternfold/tray_server.h"
#include "util/handles.h"

namespace {

constexpr const char kStartAtom[] = "TSTrayStarting";
// Held by the process that is starting; the system releases it when that
// process dies, which the atom alone cannot tell.
constexpr const char kStartMutex[] = "Lanternfold Starting";
constexpr DWORD kUninstallWaitMs = 5000;

HINSTANCE g_instance = nullptr;

// The start guard: the atom "TSTrayStarting" is present while a server starts.
class StartGuard {
public:
    ~StartGuard() { Release(); }

    // False when another server process is starting right now.
    bool Acquire() {
        mutex_.reset(CreateMutexA(nullptr, FALSE, kStartMutex));
        if (!mutex_) return false;
        DWORD wait = WaitForSingleObject(mutex_.get(), 0);
        if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) {
            mutex_.reset();
            return false;
        }
        owned_ = true;
        // Every starting server holds the mutex, so an atom found now was left
        // behind by a process that died while starting: it must not block us.
        DeleteAtoms();
        GlobalAddAtomA(kStartAtom);
        return true;
    }

    void Release() {
        if (!owned_) return;
        DeleteAtoms();
        ReleaseMutex(mutex_.get());
        mutex_.reset();
        owned_ = false;
    }

private:
    static void DeleteAtoms() {
        for (int i = 0; i < 1000; ++i) {
            ATOM atom = GlobalFindAtomA(kStartAtom);
            if (!atom) break;
            GlobalDeleteAtom(atom);
        }
    }

    tess::ScopedHandle mutex_;
    bool owned_ = false;
};

HWND FindServerWindow() { return FindWindowA(tray::kTrayClass, tray::kServerTitle); }

// Ends a running server: asked to close, then waited for within a bound.
void CloseRunningServer() {
    HWND server = FindServerWindow();
    if (!server) return;
    DWORD pid = 0;
    GetWindowThreadProcessId(server, &pid);
    tess::ScopedHandle process(pid ? OpenProcess(SYNCHRONIZE, FALSE, pid) : nullptr);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(server, WM_CLOSE, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kUninstallWaitMs, &ignored);
    if (process) {
        WaitForSingleObject(process.get(), kUninstallWaitMs);
        return;
    }
    for (DWORD waited = 0; IsWindow(server) && waited < kUninstallWaitMs; waited += 50) Sleep(50);
}

void UpdateStartupEntry() {
    CRunAtStartup entry(kRunAtStartupValue);
    if (!entry.IsRegistered()) return;
    entry.SetRegistered(FALSE);
    entry.SetRegistered(TRUE);
}

HWND CreateServerWindows() {
    if (!tray::RegisterServerClass(g_instance, tray::kTrayClass, tray::TrayIconServerWindowProc)) return nullptr;
    HWND server = CreateWindowExA(0, tray::kTrayClass, tray::kServerTitle, WS_POPUP | WS_BORDER | 0x800, 0, 0,
                                  20, 20, nullptr, nullptr, g_instance, nullptr);
    if (!server) return nullptr;
    if (tray::RegisterServerClass(g_instance, tray::kNotifyClass, DefWindowProcA))
        CreateWindowExA(0, tray::kNotifyClass, "", WS_CHILD, 0, 0, 16, 16, server, nullptr, g_instance, nullptr);
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    if (tray::RegisterServerClass(g_instance, tray::kRebarClass, tray::RebarStubWindowProc))
        CreateWindowExA(0, tray::kRebarClass, "", WS_CHILD, 0, 0, 100, 20, server, nullptr, g_instance, nullptr);
    return server;
}

int LanternfoldWinMain(HINSTANCE instance, const char* command_line) {
    g_instance = instance;
    StartGuard guard;
    if (!guard.Acquire()) return 0;

    if (strstr(command_line, "-updatereg")) UpdateStartupEntry();
    if (strstr(command_line, "-uninstall")) {
        CloseRunningServer();
        CRunAtStartup(kRunAtStartupValue).SetRegistered(FALSE);
        return 0;
    }
    if (FindServerWindow()) return 0;

    HWND server = CreateServerWindows();
    if (!server) return 0;
    if (tray::CTrayIconServer* core = tray::ServerOfWindow(server)) {
        core->BroadcastTaskbarCreated();
        core->PlaceNotifyWindow();
    }
    guard.Release();

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return LanternfoldWinMain(instance, GetCommandLineA());
}
