// The link to the outside skin editor Glazeworks: its bracketed WM_COPYDATA
// commands ("<" command ">" "<" argument 1 ">" "<" argument 2 ">" argument 3),
// the change list each live-previewed skin keeps for the editor window that
// opened it, and finding, starting or re-using the editor.
#pragma once
#include <windows.h>
#include <cstddef>

class CIniChangeList;

constexpr char kSkinEditorKey[] = "SOFTWARE\\Vantrell\\Amberline\\Glazeworks";
constexpr char kSkinEditorClass[] = "TGWMainForm";
constexpr char kSkinEditorTitlePart[] = "Vantrell Glazeworks";
constexpr char kChangedListProperty[] = "TSChangedList!";
// A send to an editor window waits no longer than this.
constexpr UINT kSkinEditorTimeoutMs = 2000;
// The bracketed fields (command, section or skin path, key), terminator included.
constexpr size_t kEditorFieldSize = MAX_PATH;

struct SkinEditorCommand {
    char command[kEditorFieldSize];
    char arg1[kEditorFieldSize];
    char arg2[kEditorFieldSize];
    const char* arg3;   // the rest after the third ">", inside the parsed text; null when absent
    int fields;         // bracketed fields present, 1 to 3
};

// False for text that is not one well-formed command: no leading "<", a
// field without its ">", a field too long for its buffer, or text between
// the bracketed fields.
bool ParseSkinEditorCommand(const char* text, SkinEditorCommand* out);
// A command from the editor window sender; false when it was ignored.
bool RunSkinEditorCommand(HWND sender, const char* text);

// WM_COPYDATA of text (dwData 0, cbData its length plus 2) with wParam the
// main window, waiting at most kSkinEditorTimeoutMs; the answer, 0 for a
// null window or text and on time-out.
LRESULT SendCopyDataString(HWND wnd, const char* text);
// "Path" under HKEY_LOCAL_MACHINE kSkinEditorKey + "\Glazeworks.exe"; false
// when missing, empty or too long for a path.
bool GetSkinEditorPath(char* out, size_t size);
// Brings forward the editor that has the skin, or starts one with it.
bool EditSkinInSkinEditor(const char* skin_path);

// The change list this program made for a cached skin and bound to exactly
// this editor window; null otherwise, whatever the window's property says.
CIniChangeList* BoundChangeList(HWND editor);
// Forgets the last changed section and the pending question (shut-down).
void FreeSkinEditorLink();
