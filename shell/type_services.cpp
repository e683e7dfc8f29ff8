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

bool ConfigurePluginItem(void* item) {
    bool (*configure)(void*) = GetShellTypeServices().ConfigurePluginItem;
    return configure && configure(item);
}

void SetPluginMessageForwarding(void* item, int remove) {
    void (*set)(void*, int) = GetShellTypeServices().SetPluginMessageForwarding;
    if (set) set(item, remove);
}

void SweepThemePluginDataFiles(const char* bars_folder) {
    void (*sweep)(const char*) = GetShellTypeServices().SweepPluginDataFiles;
    if (sweep) sweep(bars_folder);
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

bool MakeProgramsFolderShortcut(CVellumMenuItem* item) {
    bool (*make)(CVellumMenuItem*) = GetShellTypeServices().MakeProgramsFolderShortcut;
    return item && make && make(item);
}

bool MakeRecentProgramsSection(CVellumMenuSection* section, int count) {
    bool (*make)(CVellumMenuSection*, int) = GetShellTypeServices().MakeRecentProgramsSection;
    return section && make && make(section, count);
}
