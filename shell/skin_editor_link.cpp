// The skin editor's live preview: its commands reach the main window as
// WM_COPYDATA, edits are kept in the skin's change list (read before the
// skin file whenever the skin is parsed), and the bars wearing the skin are
// re-read, redrawn or laid out again.
#include "shell/skin_editor_link.h"

#include <shellapi.h>
#include <cstring>
#include <string>
#include <vector>

#include "shell/desktop_integration.h"
#include "shell/main_window.h"
#include "shell/theme_file.h"
#include "skins/ini_section_reader.h"
#include "skins/skin_cache.h"
#include "util/callback_guard.h"
#include "util/handles.h"
#include "util/text.h"

namespace {

constexpr char kEditorExeName[] = "\\Glazeworks.exe";
constexpr char kNoPreviewCommand[] =
    "<ShowMessage><64><Live Preview Not Available>"
    "Due to the fact that this skin was already being edited in Glazeworks before Tessellar was "
    "started, Tessellar cannot provide a live preview of any changes you make to this skin until "
    "you close and re-open the skin you're editing in Glazeworks. Sorry for the inconvenience!";
constexpr char kNoEditorText[] =
    "The program Glazeworks is needed to easily edit skins in Tessellar.\n\n"
    "You can get Glazeworks from the Vantrell web site:\nhttps://www.vantrell.com/glazeworks/";

// The element the redraw commands name: argument 1 of the last edit.
char g_last_section[kEditorFieldSize] = "";
// The skin a "<GetOpenedSkin>" question is out for; empty when none.
char g_pending_query[MAX_PATH] = "";

bool ParseField(const char*& p, char* out, size_t size) {
    const char* close = strchr(p + 1, '>');
    if (!close) return false;
    return tess::CopyTextN(out, size, p + 1, static_cast<size_t>(close - (p + 1))) &&
           (p = close + 1, true);
}

// The cached skin whose change list is this one; null when none holds it.
SkinRecord* RecordOfChangeList(const void* list) {
    if (!list) return nullptr;
    for (int i = 0; i < kSkinCacheSlots; ++i) {
        SkinRecord* record = GetSkinCacheSlot(i);
        if (record && record->path[0] && record->change_list.get() == list) return record;
    }
    return nullptr;
}

void BringEditorForward(HWND editor) {
    if (IsIconic(editor)) OpenIcon(editor);
    ForceForegroundWindow(editor);
}

// ---- the commands ------------------------------------------------------------------------

void SkinOpened(HWND sender, const SkinEditorCommand& c) {
    SkinRecord* record = FindCachedSkin(c.arg1);
    if (!record) return;
    if (!record->change_list) record->change_list.reset(new CIniChangeList(record->path));
    CIniChangeList* list = record->change_list.get();
    HWND before = list->GetEditorWindow();
    if (before && before != sender && IsWindow(before) && GetPropA(before, kChangedListProperty) == list)
        SetPropA(before, kChangedListProperty, nullptr);
    list->SetEditorWindow(sender);
    SetPropA(sender, kChangedListProperty, reinterpret_cast<HANDLE>(list));
    SendCopyDataString(sender, "<RegisterMessageTarget>");
}

void SkinClosed(HWND sender, const SkinEditorCommand& c) {
    SetPropA(sender, kChangedListProperty, nullptr);
    SkinRecord* record = FindCachedSkin(c.arg1);
    // Only the editor that holds the skin's edits may throw them away.
    if (!record || !record->change_list || record->change_list->GetEditorWindow() != sender) return;
    record->change_list.reset();
    char path[MAX_PATH];
    tess::CopyText(path, record->path);
    ReloadSkinInBars(path, 2, nullptr);
}

void CurrentlyOpenedSkin(HWND, const SkinEditorCommand& c) {
    if (g_pending_query[0] && lstrcmpiA(g_pending_query, c.arg1) == 0) g_pending_query[0] = '\0';
}

void DeleteKey(CIniChangeList* list, const SkinEditorCommand& c) {
    tess::CopyText(g_last_section, c.arg1);
    list->ResetKey(c.arg1, c.arg2);
}

void DeleteSection(CIniChangeList* list, const SkinEditorCommand& c) {
    tess::CopyText(g_last_section, c.arg1);
    list->ResetSection(c.arg1);
}

void WriteKey(CIniChangeList* list, const SkinEditorCommand& c) {
    tess::CopyText(g_last_section, c.arg1);
    list->Set(c.arg1, c.arg2, c.arg3 ? c.arg3 : "", 0);
}

void Update(CIniChangeList* list, int mode) {
    char path[MAX_PATH];
    tess::CopyText(path, list->GetFilePath());
    ReloadSkinInBars(path, mode, g_last_section[0] ? g_last_section : nullptr);
}

struct EditorCommandEntry {
    const char* name;
    int fields;                  // bracketed fields it needs, command included
    bool needs_change_list;      // only from the editor window bound to a change list
    void (*plain)(HWND sender, const SkinEditorCommand& c);
    void (*edit)(CIniChangeList* list, const SkinEditorCommand& c);
    int update_mode;             // -1: not an update command
};

const EditorCommandEntry kEditorCommands[] = {
    {"SkinOpened", 2, false, SkinOpened, nullptr, -1},
    {"SkinClosed", 2, false, SkinClosed, nullptr, -1},
    {"CurrentlyOpenedSkin", 2, false, CurrentlyOpenedSkin, nullptr, -1},
    {"DeleteKey", 3, true, nullptr, DeleteKey, -1},
    {"DeleteSection", 2, true, nullptr, DeleteSection, -1},
    {"WriteKey", 3, true, nullptr, WriteKey, -1},
    {"UpdateIniOnly", 1, true, nullptr, nullptr, 0},
    {"RedrawOnly", 1, true, nullptr, nullptr, 1},
    {"Recalc", 1, true, nullptr, nullptr, 2},
    {"Repaint", 1, true, nullptr, nullptr, 2},
    {"NoUpdate", 1, false, nullptr, nullptr, -1},
};

struct EditorWindowSearch {
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectEditorWindow(HWND wnd, LPARAM user) {
    return tess::GuardEnumProc([&]() -> BOOL {
        char cls[64] = "", title[512] = "";
        GetClassNameA(wnd, cls, sizeof(cls));
        if (lstrcmpA(cls, kSkinEditorClass) != 0) return TRUE;
        GetWindowTextA(wnd, title, sizeof(title));
        if (strstr(title, kSkinEditorTitlePart))
            reinterpret_cast<EditorWindowSearch*>(user)->windows.push_back(wnd);
        return TRUE;
    });
}

}  // namespace

bool ParseSkinEditorCommand(const char* text, SkinEditorCommand* out) {
    if (!text || !out || text[0] != '<') return false;
    *out = SkinEditorCommand{};
    char* fields[3] = {out->command, out->arg1, out->arg2};
    const char* p = text;
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            if (*p == '\0') return true;     // missing trailing fields are absent
            if (*p != '<') return false;     // nothing may stand between fields
        }
        if (!ParseField(p, fields[i], kEditorFieldSize)) return false;
        out->fields = i + 1;
    }
    out->arg3 = p;
    return true;
}

bool RunSkinEditorCommand(HWND sender, const char* text) {
    SkinEditorCommand c;
    if (!sender || !ParseSkinEditorCommand(text, &c) || !c.command[0]) return false;
    for (const EditorCommandEntry& entry : kEditorCommands) {
        if (lstrcmpiA(entry.name, c.command) != 0) continue;
        if (c.fields < entry.fields) return false;
        CIniChangeList* list = nullptr;
        if (entry.needs_change_list && !(list = BoundChangeList(sender))) return false;
        if (entry.plain) entry.plain(sender, c);
        if (entry.edit) entry.edit(list, c);
        if (entry.update_mode >= 0) Update(list, entry.update_mode);
        return true;
    }
    return false;
}

CIniChangeList* BoundChangeList(HWND editor) {
    if (!editor) return nullptr;
    HANDLE value = GetPropA(editor, kChangedListProperty);
    SkinRecord* record = RecordOfChangeList(value);
    if (!record || record->change_list->GetEditorWindow() != editor) return nullptr;
    return record->change_list.get();
}

LRESULT SendCopyDataString(HWND wnd, const char* text) {
    if (!wnd || !text) return 0;
    // The length plus 2: the terminator and one spare byte after it.
    std::string buffer(text);
    buffer.push_back('\0');
    buffer.push_back('\0');
    COPYDATASTRUCT cds = {};
    cds.dwData = 0;
    cds.cbData = static_cast<DWORD>(buffer.size());
    cds.lpData = &buffer[0];
    DWORD_PTR answer = 0;
    // Sent messages (the editor's nested answer) are still taken while this waits.
    if (!SendMessageTimeoutA(wnd, WM_COPYDATA, reinterpret_cast<WPARAM>(GetMainWindow()),
                             reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL | SMTO_ABORTIFHUNG,
                             kSkinEditorTimeoutMs, &answer))
        return 0;
    return static_cast<LRESULT>(answer);
}

bool GetSkinEditorPath(char* out, size_t size) {
    if (!out || !size) return false;
    out[0] = '\0';
    HKEY raw = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSkinEditorKey, 0, KEY_READ, &raw) != ERROR_SUCCESS) return false;
    tess::ScopedRegKey key(raw);
    char value[MAX_PATH + 1] = "";
    DWORD type = 0, bytes = MAX_PATH;
    if (RegQueryValueExA(key.get(), "Path", nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    value[bytes < MAX_PATH ? bytes : MAX_PATH] = '\0';
    size_t length = strlen(value);
    while (length && value[length - 1] == '\\') value[--length] = '\0';
    if (!length) return false;
    char path[MAX_PATH];
    if (!tess::FormatText(path, sizeof(path), "%s%s", value, kEditorExeName)) return false;
    return tess::CopyText(out, size, path);
}

bool EditSkinInSkinEditor(const char* skin_path) {
    if (!skin_path || !skin_path[0]) return false;
    // An editor bound to the skin's change list already has it open.
    SkinRecord* record = FindCachedSkin(skin_path);
    if (record && record->change_list) {
        HWND editor = record->change_list->GetEditorWindow();
        if (editor && IsWindow(editor)) {
            BringEditorForward(editor);
            return true;
        }
    }
    char editor_path[MAX_PATH];
    if (!GetSkinEditorPath(editor_path, sizeof(editor_path))) {
        MessageBoxA(GetMainWindow(), kNoEditorText, "Cannot Edit Skin",
                    MB_ICONINFORMATION | MB_SETFOREGROUND | MB_TOPMOST);
        return false;
    }
    // An editor that had the skin open before this program started answers
    // "CurrentlyOpenedSkin" while the question is sent.
    if (!tess::CopyText(g_pending_query, skin_path)) {
        g_pending_query[0] = '\0';
        return false;
    }
    EditorWindowSearch search;
    EnumWindows(CollectEditorWindow, reinterpret_cast<LPARAM>(&search));
    for (HWND editor : search.windows) {
        if (!IsWindow(editor)) continue;
        SendCopyDataString(editor, "<GetOpenedSkin>");
        if (g_pending_query[0]) continue;
        BringEditorForward(editor);
        SendCopyDataString(editor, kNoPreviewCommand);
        return false;
    }
    g_pending_query[0] = '\0';
    char parameters[MAX_PATH + 3];
    if (!tess::FormatText(parameters, sizeof(parameters), "\"%s\"", skin_path)) return false;
    HINSTANCE started = ShellExecuteA(nullptr, nullptr, editor_path, parameters, nullptr, SW_SHOWDEFAULT);
    return reinterpret_cast<INT_PTR>(started) > 32;
}

void FreeSkinEditorLink() {
    g_last_section[0] = '\0';
    g_pending_query[0] = '\0';
}
