// Standard commands that reach the system and outside programs: files and
// folders, control-panel applets and help files started through the shell,
// the CD door, and the session commands (restart, shut down, log off,
// suspend, the shell's dialogs, the recycle bin), which go through the
// system-actions seam only. Each answers 0 when nothing ran.
#include "model/standard_commands.h"

#include <shellapi.h>
#include <initializer_list>
#include "model/bar_messages.h"
#include "model/command_seam.h"
#include "model/standard_commands_internal.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "util/general_helpers.h"
#include "util/handles.h"
#include "util/text.h"

namespace stdcmd {

namespace {

// ShellExecute answers a value above 32 when the program started.
bool Started(HINSTANCE result) {
    return reinterpret_cast<INT_PTR>(result) > 32;
}

int Execute(const CommandContext& c, const char* verb, const char* file, const char* parameters,
            const char* folder, int show) {
    return Started(::ShellExecuteA(c.owner, verb, file, parameters, folder, show)) ? 1 : 0;
}

// The first file of the list that opens; 0 when none does.
int OpenFirstOf(const CommandContext& c, std::initializer_list<const char*> files) {
    for (const char* file : files)
        if (Execute(c, "open", file, nullptr, nullptr, SW_SHOWDEFAULT)) return 1;
    return 0;
}

int ExitSession(const CommandContext& c, UINT flags) {
    CloseVolatileBarsFirst(c);
    return GetSystemActions().ExitWindows(flags, 0) ? 1 : 0;
}

int SuspendSession(BOOL hibernate) {
    return GetSystemActions().Suspend(hibernate) ? 1 : 0;
}

void MainToForeground(const CommandContext& c) {
    if (c.main) ::SetForegroundWindow(c.main);
}

}  // namespace

int NewFolderOnDesktop(const CommandContext&) {
    char path[MAX_PATH];
    if (!GetDesktopFolderPath(path, sizeof(path))) return 0;
    size_t length = lstrlenA(path);
    if (length && path[length - 1] != '\\') tess::AppendText(path, "\\");
    if (!tess::AppendText(path, "New Folder")) return 0;
    if (::CreateDirectoryA(path, nullptr)) return 1;
    // A folder already there is left as it is, quietly.
    return ::GetLastError() == ERROR_ALREADY_EXISTS ? 1 : 0;
}

int RunDialog(const CommandContext& c) {
    if (!c.main) return 0;
    static const UINT call_run_dialog = ::RegisterWindowMessageA("CallRunDialog");
    return ::PostMessageA(c.main, call_run_dialog, 0, 0) ? 1 : 0;
}

int SystemInformation(const CommandContext& c) {
    return Execute(c, nullptr,
                   "C:\\Program Files\\Common Files\\Microsoft Shared\\MSinfo\\MSINFO32.EXE", "",
                   "C:\\Program Files\\Common Files\\Microsoft Shared\\MSinfo\\", SW_SHOWDEFAULT);
}

int CreateNewShortcut(const CommandContext& c) {
    char desktop[MAX_PATH];
    if (!GetDesktopFolderPath(desktop, sizeof(desktop))) return 0;
    char parameters[MAX_PATH + 40];
    tess::FormatText(parameters, sizeof(parameters), "appwiz.cpl,NewLinkHere %s", desktop);
    return Execute(c, nullptr, "rundll32.exe", parameters, nullptr, SW_SHOWNORMAL);
}

int ShowClipboard(const CommandContext& c) {
    return Execute(c, nullptr, "Clipbrd.exe", nullptr, nullptr, SW_SHOWDEFAULT);
}

int DisplayControlPanel(const CommandContext& c) {
    return Execute(c, nullptr, "rundll32.exe", "shell32.dll,Control_RunDLL desk.cpl,,0", nullptr,
                   SW_SHOWNORMAL);
}

int EmptyRecycleBin(const CommandContext& c) {
    HRESULT result = GetSystemActions().EmptyRecycleBin(c.owner, "", 0);
    if (result == E_NOTIMPL) {
        c.item->DisplayError(const_cast<char*>("Empty Recycle Bin Failed!"));
        return 0;
    }
    return SUCCEEDED(result) ? 1 : 0;
}

int EjectCd(const CommandContext&) {
    tess::ScopedModule winmm(::LoadLibraryA("winmm.dll"));
    if (!winmm) return 0;
    typedef DWORD(WINAPI * MciSendStringFn)(LPCSTR, LPSTR, UINT, HWND);
    auto send = reinterpret_cast<MciSendStringFn>(::GetProcAddress(winmm.get(), "mciSendStringA"));
    if (!send) return 0;
    return send("set cdaudio door open", nullptr, 0, nullptr) == 0 ? 1 : 0;
}

int EraseFloppyDisk(const CommandContext& c) {
    return Execute(c, nullptr, "rundll32.exe", "shell32.dll,SHFormatDrive", nullptr, SW_SHOWNORMAL);
}

int Restart(const CommandContext& c) { return ExitSession(c, EWX_REBOOT); }
int LogOff(const CommandContext& c) { return ExitSession(c, EWX_LOGOFF); }
int Shutdown(const CommandContext& c) { return ExitSession(c, EWX_SHUTDOWN); }

int ShutdownDialog(const CommandContext& c) {
    MainToForeground(c);
    // Windows XP's own taskbar shows its shut-down dialog when told to close.
    if (GetWindowsVersionClass() == kWinXP)
        return GetSystemActions().PostToShellTaskbar(WM_CLOSE, 0, 0) ? 1 : 0;
    if (c.main) ::SendMessageA(c.main, GetBarMessages().VolatileClose, 0, 0);
    if (GetSystemActions().ShutdownDialog(c.owner)) return 1;
    c.item->DisplayError(const_cast<char*>("ShutDownDialog Failed!"));
    return 0;
}

int WindowsGuide(const CommandContext& c) {
    return OpenFirstOf(c, {"C:\\WINDOWS\\HELP\\WINDOWS.CHM", "C:\\WINDOWS\\WINDOWS.HLP",
                           "C:\\WINDOWS\\HELP\\WINDOWS.HLP"});
}

int UsingWindowsHelp(const CommandContext& c) {
    return OpenFirstOf(c, {"Winhlp32.hlp", "C:\\WINDOWS\\Winhlp32.chm",
                           "C:\\WINDOWS\\HELP\\Winhlp32.chm", "C:\\WINDOWS\\Winhlp32.hlp",
                           "C:\\WINDOWS\\HELP\\Winhlp32.hlp"});
}

int Suspend(const CommandContext&) { return SuspendSession(FALSE); }
int Hibernate(const CommandContext&) { return SuspendSession(TRUE); }

int LogOffDialog(const CommandContext& c) {
    MainToForeground(c);
    return GetSystemActions().PostToShellTaskbar(WM_COMMAND, 402, 0) ? 1 : 0;
}

void CloseVolatileBarsFirst(const CommandContext& c) {
    if (!c.main) return;
    ::SetForegroundWindow(c.main);
    ::SendMessageA(c.main, GetBarMessages().VolatileClose, 0, 0);
}

}  // namespace stdcmd
