// Start-up of the program: the single-instance guard, the hand-over of a
// second start's command line, the recovery start, document types, window
// classes, the hidden main window and the message loop; and the process-wide
// values fixed at start that other modules read.
#pragma once
#include <windows.h>

constexpr const char kStartingAtom[] = "Tessellar Starting";
constexpr const char kMainWindowClass[] = "Tessellar Main";
constexpr const char kMainWindowTitle[] = "Tessellar";
constexpr const char kTrayServerClass[] = "Shell_TrayWnd";
constexpr const char kTrayServerTitle[] = "CLanternfold";
constexpr const char kHelperLinesClass[] = "TSHelperLines";


// Gives the bars the shell's state (model/bar_host.h).
void InstallBarHostServices();
// Gives items' commands and menus the shell's calls (model/item_host_calls.h).
void InstallItemHostCalls();
// Gives the bar and section context menus the shell's calls
// (model/bar_menu_host_calls.h).
void InstallBarMenuHostCalls();

// Everything WinMain does, in order; returns the exit code.
int RunTessellar(HINSTANCE instance, const char* command_line);

// ---- command line ----------------------------------------------------------------
// Options are whole words: a blank (or the text's start) before and a blank
// (or the text's end) after, so "C:\my-skins\a.tstheme" holds no "-s".
// Returns the position of the option or null.
const char* FindCommandOption(const char* command_line, const char* option);
// Overwrites a whole-word option with blanks; true when it was found.
bool BlankCommandOption(char* command_line, const char* option);
// Skips leading blanks and removes surrounding double quotes into out.
void ExtractDocumentPath(const char* command_line, char* out, size_t out_size);

// What a second start does when an instance runs. Returns true when the
// running instance took the command line (each send is bounded in time).
enum class HandOverKind { TrayDoubleClick, ThemeBrowser, CopyData };
HandOverKind ClassifyHandOver(const char* command_line);
bool HandOverToRunningInstance(HWND main_window, const char* command_line);
constexpr UINT kHandOverTimeoutMs = 5000;

// The recovery start that the tray server's watchdog makes after a crash.
void RunRecoveryStart();

// True when the message is a SendMessage from this thread: not posted, not
// sent by another thread or process. Only then may a pointer it carries to
// the sender's own memory be written through.
bool IsSynchronousCallFromThisThread(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

// ---- "%username%" ------------------------------------------------------------------
bool ProbeUserNameExpansion();
// Replaces every "%username%" within dest_size characters. Source and
// destination may be the same buffer. A user name that itself holds
// "%username%" is inserted once per original occurrence, never re-scanned.
bool ExpandUserNameInPath(const char* source, char* dest, size_t dest_size);
// For tests: force the substitution on with the given name (null: off).
void SetUserNameSubstitution(const char* user_name);

// ---- registration -------------------------------------------------------------------
bool RegisterFileType(const char* extension, const char* type_name, const char* description,
                      const char* open_command, const char* icon);
// The four document types of the program, with its own path in commands and icons.
bool RegisterDocumentTypes();
// "Tessellar Main", the two bar classes and "TSHelperLines"; false when any
// of them could not be registered (a name held with another procedure too).
bool RegisterWindowClasses(HINSTANCE instance);
HWND CreateMainWindow(HINSTANCE instance);
void SetProgramIcons(HWND wnd);
// Program folder + "VTPlugins\"; created when missing. buffer holds MAX_PATH.
bool GetPluginsFolder(char* buffer);

// ---- process-wide start-up values -------------------------------------------------
HINSTANCE GetAppInstance();
void SetAppInstance(HINSTANCE instance);
int GetStartupVersionClass();
bool IsPresetMode();
bool IsThemeBrowserRequested();
const char* GetCommandLineDocument();
HICON GetSmallProgramIcon();
HICON GetLargeProgramIcon();
HCURSOR GetHandCursor();
// The Startup-folder shortcut repair and the common start-up manager's value.
void RepairStartupEntry();
