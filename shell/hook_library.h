// The contract with the outside hook library "Hookwell.dll" and the
// menu-capture library "Forkmerle.dll": what the program looks up in them,
// where it leaves the hook handles for them, the atoms it keeps for them and
// the events they post to the main window ("Tessellar Main", "Tessellar").
// Both libraries are loaded from the program's own folder and nowhere else.
#pragma once
#include <windows.h>
#include "model/bar_messages.h"   // WM_BARWINKEY

// ---- libraries and exports ------------------------------------------------------------
constexpr char kHookLibraryName[] = "Hookwell.dll";
constexpr char kCaptureLibraryName[] = "Forkmerle.dll";

// The hook slots of the stats monitor, in its field order.
enum HookSlot { kShellHook = 0, kCbtHook, kMouseHook, kStartMenuHook, kKeyboardHook, kHookSlots };

struct HookExport {
    const char* procedure;   // looked up with GetProcAddress
    int hook_type;           // 0: looked up only, never installed
    const char* property;    // main-window property with the hook handle
};

// Indexed by HookSlot.
constexpr HookExport kHookExports[kHookSlots] = {
    {"MyHookwellProc", WH_SHELL, "HandleToHookwell"},
    {"CBTHookProc", 0, "HandleToCBTHook"},
    {"MouseHookProc", WH_MOUSE, "HandleToMouseHook"},
    {"Win2kStartMenuProc", WH_GETMESSAGE, "HandleToWin2kStartMenuHook"},
    {"MyLowLevelKeyboardProc", WH_KEYBOARD_LL, "LLKeyboardHook"},
};

constexpr char kCaptureProcName[] = "ExplorerHookProc";
constexpr char kCaptureHookProperty[] = "HandleToExplorerHook";

// ---- atoms ----------------------------------------------------------------------------------
constexpr char kAtomRespondToWinKey[] = "Tessellar-RespondToWinKey";
constexpr char kAtomRespondToWinKey2[] = "Tessellar-RespondToWinKey2";
constexpr char kAtomRespondToWinKeyPlusTab[] = "Tessellar-RespondToWinKey-PlusTab";
constexpr char kAtomWinTabEnabled[] = "TSWinTabEnabled";

// ---- events posted to the main window and relayed to every bar -------------------------------
// wParam is a top-level window (0 for "none" with ACTIVATED).
constexpr UINT WM_TSHOOK_RESERVED = 10875;    // refresh the window's task
constexpr UINT WM_TSHOOK_ACTIVATED = 10876;
constexpr UINT WM_TSHOOK_CREATED = 10877;
constexpr UINT WM_TSHOOK_DESTROYED = 10878;
constexpr UINT WM_TSHOOK_CHANGED = 10879;     // lParam: the window's flash state
static_assert(WM_BARWINKEY == 10880, "the Windows-key event follows the window events");

// Registered by the library and sent to bar windows.
constexpr char kWinKeyTabDownMessage[] = "WinKey+Tab Down!";
