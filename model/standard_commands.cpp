// The table of the fifty standard commands, the set lists, the queries and
// CVellumMenuItem::ExecuteStandardCommand, which answers them all.
#include "model/standard_commands.h"

#include "model/item_host_calls.h"
#include "model/standard_commands_internal.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "util/text.h"

using namespace stdcmd;

namespace {

int Nothing(const CommandContext&) { return 1; }

struct CommandEntry {
    const char* name;
    int set;
    CommandAction run;
};

// Display names exactly as the behaviour page shows them (spelling included).
const CommandEntry kCommands[kStandardCommandCount] = {
    {"(No Action)", kNoCommandSet, Nothing},
    // The popup menu opens through TrackPopupMenu, not here.
    {"PopupMenu", kInternalCommands, Nothing},
    {"New Folder (On Desktop)", kMoreSystemCommands, NewFolderOnDesktop},
    {"Run Dialog...", kMoreSystemCommands, RunDialog},
    {"Close Foreground Window", kWindowCommands, CloseForegroundWindow},
    {"Open System Information...", kMoreSystemCommands, SystemInformation},
    {"Label - Nothing??", kNoCommandSet, Nothing},
    {"Duplicate", kClipboardCommands, DuplicateSelection},
    {"Create New Shortcut", kMoreSystemCommands, CreateNewShortcut},
    {"Find Dialog...", kMoreSystemCommands, FindDialog},
    {"Quit Tessellar", kInternalCommands, QuitTessellar},
    {"Undo", kClipboardCommands, UndoKeys},
    {"Cut", kClipboardCommands, CutKeys},
    {"Copy", kClipboardCommands, CopyKeys},
    {"Paste", kClipboardCommands, PasteKeys},
    {"Clear", kClipboardCommands, ClearKeys},
    {"Select All", kClipboardCommands, SelectAllKeys},
    {"Show Clipboard...", kClipboardCommands, ShowClipboard},
    {"Show Theme Editor...", kInternalCommands, ShowThemeEditor},
    {"Hide/Show Windows Taskbar", kInternalCommands, ToggleWindowsTaskbar},
    {"Open Display Control Panel...", kMoreSystemCommands, DisplayControlPanel},
    {"Empty RecycleBin", kMoreSystemCommands, EmptyRecycleBin},
    {"Eject CD", kMoreSystemCommands, EjectCd},
    {"Erase Floppy Disk", kMoreSystemCommands, EraseFloppyDisk},
    {"Restart", kSystemCommands, Restart},
    {"Shutdown Dialog...", kSystemCommands, ShutdownDialog},
    {"Windows Guide (Help)", kMoreSystemCommands, WindowsGuide},
    {"Using Windows Help", kMoreSystemCommands, UsingWindowsHelp},
    {"About Tessellar", kInternalCommands, AboutTessellar},
    {"Log Off", kSystemCommands, LogOff},
    {"Close This Bar", kInternalCommands, CloseThisBar},
    {"Minimize Foreground Window", kWindowCommands, MinimizeForegroundWindow},
    {"Hide All Other Windows", kWindowCommands, HideAllOtherWindows},
    {"Show All Other Windows", kWindowCommands, ShowAllOtherWindows},
    {"Show All Windows", kWindowCommands, ShowAllWindows},
    {"Hide All Windows", kWindowCommands, HideAllWindows},
    {"Hide/Show Previous Section", kInternalCommands, TogglePreviousSection},
    {"Hide/Show Next Section", kInternalCommands, ToggleNextSection},
    {"Retrieve Lost Bars", kInternalCommands, RetrieveLostBars},
    {"Hide/Show Layer", kNoCommandSet, ToggleLayerHidden},
    {"Toggle Layer Volitility", kNoCommandSet, ToggleLayerVolatile},
    {"Toggle SysTray Time-Filtering", kNoCommandSet, ToggleTimeFiltering},
    {"Popup Real Start Menu", kMoreSystemCommands, PopupRealStartMenu},
    {"Enable/Disable AutoHide (toggle)", kInternalCommands, ToggleAutoHide},
    {"Shutdown", kSystemCommands, Shutdown},
    {"Close this and related popups.", kInternalCommands, CloseRelatedPopups},
    {"Show Theme Browser...", kInternalCommands, ShowThemeBrowser},
    {"Sleep/Suspend", kSystemCommands, Suspend},
    {"Hibernate", kSystemCommands, Hibernate},
    {"Log Off Dialog...", kSystemCommands, LogOffDialog},
};

// The sets in the order the behaviour page lists them; 0 ends a list.
const int kSetLists[5][13] = {
    {4, 31, 34, 35, 32, 33},
    {44, 25, 24, 29, 49, 47, 48},
    {10, 46, 18, 19, 36, 37, 43, 30, 45, 1, 28, 38},
    {17, 12, 13, 14, 15, 16, 7, 11},
    {3, 9, 42, 21, 20, 22, 8, 2, 23, 5, 26, 27},
};

const char* const kSetKeys[] = {"ZerothSet", "FirstSet", "SecondSet", "ThirdSet"};

const char kNotImplemented[] = "(not implimented)";

bool InRange(int command) { return command >= 0 && command < kStandardCommandCount; }

}  // namespace

// ---- queries ---------------------------------------------------------------------------------

int GetStandardCommandInSet(int set, int position) {
    constexpr int kSets = sizeof(kSetLists) / sizeof(kSetLists[0]);
    constexpr int kLength = sizeof(kSetLists[0]) / sizeof(kSetLists[0][0]);
    if (set < 0 || set >= kSets || position < 0 || position >= kLength) return 0;
    return kSetLists[set][position];
}

int StandardCommandSetOf(int command) {
    return InRange(command) ? kCommands[command].set : kNoCommandSet;
}

const char* StandardCommandName(int command) {
    return InRange(command) ? kCommands[command].name : nullptr;
}

const char* StandardCommandSetKey(int set) {
    constexpr int kKeys = sizeof(kSetKeys) / sizeof(kSetKeys[0]);
    return set >= 0 && set < kKeys ? kSetKeys[set] : nullptr;
}

// ---- running ---------------------------------------------------------------------------------

int RunStandardCommand(CVellumMenuItem* item, int command) {
    if (!item || !InRange(command)) return 0;
    CommandContext c = {};
    c.item = item;
    c.bar = item->m_pBar;
    c.main = c.bar ? c.bar->m_hMainWindow : nullptr;
    c.owner = item->m_valid ? c.main : nullptr;
    return kCommands[command].run(c);
}

// ---- the item's one door ------------------------------------------------------------------------

int CVellumMenuItem::ExecuteStandardCommand(int set, int command, char* name, char* setKey) {
    if (!name && !setKey && set != kQueryCommandSet) return RunStandardCommand(this, command);
    if (setKey && set >= 0) {
        const char* key = StandardCommandSetKey(set);
        tess::CopyText(setKey, kStandardCommandNameSize, key ? key : "");
        return key ? 1 : 0;
    }
    if (set == kQueryCommandSet) return StandardCommandSetOf(command);
    if (!name) return 0;
    if (!InRange(command)) {
        tess::CopyText(name, kStandardCommandNameSize, kNotImplemented);
        return 0;
    }
    bool in_set = set == kAnyCommandSet || kCommands[command].set == set;
    tess::CopyText(name, kStandardCommandNameSize, in_set ? kCommands[command].name : "");
    return 1;
}

// ---- the shell's calls ------------------------------------------------------------------------

ItemHostCalls& GetItemHostCalls() {
    static ItemHostCalls calls = {};
    return calls;
}
