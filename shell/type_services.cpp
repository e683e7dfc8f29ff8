// The shell's table of calls into the section and item types.
#include "shell/type_services.h"

ShellTypeServices& GetShellTypeServices() {
    // Zero-initialised before any constructor runs, so the types layer can
    // fill it from its own static constructors in any order.
    static ShellTypeServices services;
    return services;
}

bool StartTrayIconServer() {
    bool (*start)() = GetShellTypeServices().StartTrayIconServer;
    return start && start();
}

void CreateMFUList() {
    if (void (*create)() = GetShellTypeServices().CreateMFUList) create();
}

void FreeMFUList() {
    if (void (*free_list)() = GetShellTypeServices().FreeMFUList) free_list();
}

void SetSmartMenusStartTime(const FILETIME& start) {
    if (void (*set)(const FILETIME&) = GetShellTypeServices().SetSmartMenusStartTime) set(start);
}
