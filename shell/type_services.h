// What the shell needs from the section and item types, the layer above it.
// The types layer fills this table while the program loads; an empty entry
// means that type is not in this program, and the call reports failure.
#pragma once
#include <windows.h>

class CVellumMenuItem;
class CVellumMenuObject;
class CVellumMenuSection;

struct ShellTypeServices {
    // Starts Lanternfold (its window comes a moment later); false: not started.
    bool (*StartTrayIconServer)();
    // The plug-in's configure sequence for a plug-in item; false: nothing configured.
    bool (*ConfigurePluginItem)(void* item);
    // A plug-in item's place in the table of items that get window
    // messages: renewed from its capabilities, or left with remove set.
    void (*SetPluginMessageForwarding)(void* item, int remove);
    // Deletes the files of the theme's data folder ("<bars>Data\") that no
    // bar's record names; bars_folder ends with a backslash.
    void (*SweepPluginDataFiles)(const char* bars_folder);

    // ---- the desktop right-click handler's popup item ---------------------------------
    // Marks the item as the handler item (hide on close); false: no popup item.
    bool (*MakeDesktopHandlerItem)(CVellumMenuItem* item);
    // Replaces the item's listed bars with the titles.
    void (*SetDesktopHandlerBars)(CVellumMenuItem* item, const char* const* titles, int count);
    // Opens the listed bars at the item's bar; with an owner bar, moves that
    // bar there instead, keeping its size. 1 when something was done.
    int (*OpenDesktopHandlerItem)(CVellumMenuItem* item, CVellumMenuObject* owner);
    // Fills the available-bars (1280) and listed-bars (1281) lists of a dialog.
    void (*FillDesktopHandlerLists)(CVellumMenuItem* item, HWND dialog);
    // The program's most-used list: created and loaded with the main window,
    // saved and freed when it goes.
    void (*CreateMFUList)();
    void (*FreeMFUList)();
    // Last-use times before start count as start (personalised menus).
    void (*SetSmartMenusStartTime)(const FILETIME& start);

    // ---- the theme editor's new objects -----------------------------------------------
    // Makes a new shortcut item open the special folder "Programs" as a
    // folder popup; false: not a shortcut item.
    bool (*MakeProgramsFolderShortcut)(CVellumMenuItem* item);
    // Makes a new folder section list the count most used programs and fills
    // it; false: not a folder section.
    bool (*MakeRecentProgramsSection)(CVellumMenuSection* section, int count);
};

ShellTypeServices& GetShellTypeServices();

// The calls the shell makes through the table.
bool StartTrayIconServer();                                // false: not started
bool ConfigurePluginItem(void* item);                      // false: nothing configured
void SetPluginMessageForwarding(void* item, int remove);
void SweepThemePluginDataFiles(const char* bars_folder);
void CreateMFUList();
void FreeMFUList();                                        // saves first
void SetSmartMenusStartTime(const FILETIME& start);
bool MakeProgramsFolderShortcut(CVellumMenuItem* item);                  // false: not done
bool MakeRecentProgramsSection(CVellumMenuSection* section, int count);  // false: not done
