// What the shell needs from the section and item types, the layer above it.
// The types layer fills this table while the program loads; an empty entry
// means that type is not in this program, and the call reports failure.
#pragma once
#include <windows.h>

struct ShellTypeServices {
    // Starts Lanternfold (its window comes a moment later); false: not started.
    bool (*StartTrayIconServer)();
    // The program's most-used list: created and loaded with the main window,
    // saved and freed when it goes.
    void (*CreateMFUList)();
    void (*FreeMFUList)();
    // Last-use times before start count as start (personalised menus).
    void (*SetSmartMenusStartTime)(const FILETIME& start);
};

ShellTypeServices& GetShellTypeServices();

// The calls the shell makes through the table.
bool StartTrayIconServer();                                // false: not started
void CreateMFUList();
void FreeMFUList();                                        // saves first
void SetSmartMenusStartTime(const FILETIME& start);
