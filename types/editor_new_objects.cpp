// What the theme editor's new-object commands need of two types: a shortcut
// that opens the "Programs" folder as a popup, and a folder section that
// lists the most used programs.
#include "shell/type_services.h"
#include "types/folder_section.h"
#include "types/shortcut_item.h"

namespace {

bool MakeProgramsShortcut(CVellumMenuItem* item) {
    auto* shortcut = dynamic_cast<CVellumMenuItem_Shortcut*>(item);
    if (!shortcut) return false;
    shortcut->ResetTarget();
    if (!shortcut->SetTarget(nullptr, "Programs", nullptr, nullptr)) return false;
    shortcut->IsFolder = TRUE;
    shortcut->UsePopup = TRUE;
    return true;
}

bool MakeRecentList(CVellumMenuSection* section, int count) {
    auto* folder = dynamic_cast<CVellumMenuSection_Folder*>(section);
    if (!folder) return false;
    folder->ResetSource(false);
    folder->UsePinnedList = FALSE;
    folder->UseRecentList = TRUE;
    folder->RecentItemsToList = count;
    folder->FillFolderItems();
    return true;
}

struct EditorNewObjectsRegistration {
    EditorNewObjectsRegistration() {
        ShellTypeServices& services = GetShellTypeServices();
        services.MakeProgramsFolderShortcut = MakeProgramsShortcut;
        services.MakeRecentProgramsSection = MakeRecentList;
    }
} const kEditorNewObjects;

}  // namespace
