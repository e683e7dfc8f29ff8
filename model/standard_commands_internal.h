// Shared by the files of the standard commands: what one run of a command
// works with, and the action of every command by its group.
#pragma once
#include <windows.h>

class CVellumMenuItem;
class CVellumMenuObject;

// Names of their own, so none meets a function of the shell at link time.
namespace stdcmd {

struct CommandContext {
    CVellumMenuItem* item;     // never null
    CVellumMenuObject* bar;    // the item's bar; null for an unattached item
    HWND main;                 // the program's main window through the bar, or null
    HWND owner;                // ShellExecute's owner: main for a valid item, else none
};

// Each action answers 1 when it ran and 0 when what it needs is missing or
// the system refused it.
using CommandAction = int (*)(const CommandContext& c);

// ---- other programs' windows, keys and the clipboard (standard_commands_windows.cpp) ----
int CloseForegroundWindow(const CommandContext& c);     // 4
int DuplicateSelection(const CommandContext& c);        // 7
int FindDialog(const CommandContext& c);                // 9
int UndoKeys(const CommandContext& c);                  // 11
int CutKeys(const CommandContext& c);                   // 12
int CopyKeys(const CommandContext& c);                  // 13
int PasteKeys(const CommandContext& c);                 // 14
int ClearKeys(const CommandContext& c);                 // 15
int SelectAllKeys(const CommandContext& c);             // 16
int MinimizeForegroundWindow(const CommandContext& c);  // 31
int HideAllOtherWindows(const CommandContext& c);       // 32
int ShowAllOtherWindows(const CommandContext& c);       // 33
int ShowAllWindows(const CommandContext& c);            // 34
int HideAllWindows(const CommandContext& c);            // 35
// SC_MINIMIZE and SC_RESTORE to another program wait at most this long.
constexpr UINT kSysCommandTimeoutMs = 2500;

// ---- the system and outside programs (standard_commands_system.cpp) ----------------------
int NewFolderOnDesktop(const CommandContext& c);        // 2
int RunDialog(const CommandContext& c);                 // 3
int SystemInformation(const CommandContext& c);         // 5
int CreateNewShortcut(const CommandContext& c);         // 8
int ShowClipboard(const CommandContext& c);             // 17
int DisplayControlPanel(const CommandContext& c);       // 20
int EmptyRecycleBin(const CommandContext& c);           // 21
int EjectCd(const CommandContext& c);                   // 22
int EraseFloppyDisk(const CommandContext& c);           // 23
int Restart(const CommandContext& c);                   // 24
int ShutdownDialog(const CommandContext& c);            // 25
int WindowsGuide(const CommandContext& c);              // 26
int UsingWindowsHelp(const CommandContext& c);          // 27
int LogOff(const CommandContext& c);                    // 29
int PopupRealStartMenu(const CommandContext& c);        // 42
int Shutdown(const CommandContext& c);                  // 44
int Suspend(const CommandContext& c);                   // 47
int Hibernate(const CommandContext& c);                 // 48
int LogOffDialog(const CommandContext& c);              // 49

// ---- the program itself (standard_commands_internal.cpp) ------------------------------------
int QuitTessellar(const CommandContext& c);             // 10
int ShowThemeEditor(const CommandContext& c);           // 18
int ToggleWindowsTaskbar(const CommandContext& c);      // 19
int AboutTessellar(const CommandContext& c);            // 28
int CloseThisBar(const CommandContext& c);              // 30
int TogglePreviousSection(const CommandContext& c);     // 36
int ToggleNextSection(const CommandContext& c);         // 37
int RetrieveLostBars(const CommandContext& c);          // 38
int ToggleLayerHidden(const CommandContext& c);         // 39
int ToggleLayerVolatile(const CommandContext& c);       // 40
int ToggleTimeFiltering(const CommandContext& c);       // 41
int ToggleAutoHide(const CommandContext& c);            // 43
int CloseRelatedPopups(const CommandContext& c);        // 45
int ShowThemeBrowser(const CommandContext& c);          // 46

// The main window to the foreground and "VolitleClose" sent to it, as
// commands that leave the bars do first.
void CloseVolatileBarsFirst(const CommandContext& c);

}  // namespace stdcmd
