// The fifty built-in commands (`StandardCommand`) an item runs on a click or
// from an entry of its popup menu: their display names, the sets
// (`StandardCommandSet`) the behaviour page lists them in, and their actions.
// CVellumMenuItem::ExecuteStandardCommand is the one door to all of it.
#pragma once
#include <windows.h>
#include "model/exports.h"

class CVellumMenuItem;

// ---- numbers ------------------------------------------------------------------------------
constexpr int kStandardCommandCount = 50;
// ExecuteStandardCommand's set argument: -1 any set, -2 the set query.
constexpr int kAnyCommandSet = -1;
constexpr int kQueryCommandSet = -2;
// Every display name and set key fits a buffer of this size.
constexpr int kStandardCommandNameSize = 64;

enum StandardCommandSet : int {
    kNoCommandSet = -1,
    kWindowCommands = 0,
    kSystemCommands = 1,
    kInternalCommands = 2,
    kClipboardCommands = 3,
    kMoreSystemCommands = 4,
};

// The numbers the program names in code.
enum StandardCommand : int {
    kCmdNoAction = 0,
    kCmdPopupMenu = 1,
    kCmdNewFolderOnDesktop = 2,
    kCmdRunDialog = 3,
    kCmdCloseForegroundWindow = 4,
    kCmdQuitTessellar = 10,
    kCmdCopy = 13,
    kCmdCloseThisBar = 30,
    kCmdHideAllOtherWindows = 32,
    kCmdShowAllOtherWindows = 33,
    kCmdHideShowLayer = 39,
    kCmdToggleLayerVolatility = 40,
    kCmdToggleTimeFiltering = 41,
    kCmdPopupRealStartMenu = 42,
    kCmdCloseRelatedPopups = 45,
};

// ---- queries ---------------------------------------------------------------------------------
// The command at a position of a set's list; 0 outside the lists.
TESS_EXPORT int GetStandardCommandInSet(int set, int position);
// The set a command belongs to; -1 for none (0, 6, 39, 40, 41) and for a
// number outside 0..49.
int StandardCommandSetOf(int command);
// The display name; null outside 0..49.
const char* StandardCommandName(int command);
// The set's key name ("ZerothSet" .. "ThirdSet"); null for other sets.
const char* StandardCommandSetKey(int set);

// ---- running ---------------------------------------------------------------------------------
// Runs command for item (which may be unattached). 1 when it ran; 0 for a
// number outside 0..49 and when what it needs (a library, an export, a file,
// a window) is missing or the system refused it.
int RunStandardCommand(CVellumMenuItem* item, int command);

// Enumeration callbacks of the commands that hide and show all windows: each
// skips the window given as parameter and always continues.
BOOL CALLBACK MinimizeOtherWindowsEnumProc(HWND wnd, LPARAM except);
BOOL CALLBACK RestoreOtherWindowsEnumProc(HWND wnd, LPARAM except);
// The host window of "Popup Real Start Menu" (class "VTSMHostWin").
LRESULT CALLBACK StartMenuHostWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
