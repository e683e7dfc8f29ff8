// The items that drag and drop makes: shortcut items for files dropped from
// the shell (on a plain section, or moved into a folder section's folder),
// and the new items of the palette.
#include <windows.h>
#include <shellapi.h>
#include <new>
#include "model/drag_drop_calls.h"
#include "model/drag_drop_object.h"
#include "model/vellum_menu_section.h"
#include "types/clock_item.h"
#include "types/folder_section_calls.h"
#include "types/popup_item.h"
#include "types/shortcut_item.h"
#include "util/general_helpers.h"
#include "util/shortcut_files.h"
#include "util/text.h"

namespace {

bool HasExtension(const char* file, const char* extension) {
    const char* dot = strrchr(file, '.');
    return dot && lstrcmpiA(dot, extension) == 0;
}

// A link's target with its arguments; false when the command would not fit
// the item's target (a cut command would run something else).
bool LinkCommand(const char* link, char* out, size_t size) {
    char target[MAX_PATH] = "";
    char arguments[kShortcutTargetSize] = "";
    if (!ReadShortcutField(link, target, sizeof(target), kReadTarget) || !target[0]) return false;
    ReadShortcutField(link, arguments, sizeof(arguments), kReadArguments);
    if (!arguments[0]) return tess::CopyText(out, size, target);
    if (target[0] == '"') return tess::FormatText(out, size, "%s %s", target, arguments);
    return tess::FormatText(out, size, "\"%s\" %s", target, arguments);
}

// The link's own icon, when it is not simply the target's first icon.
void TakeLinkIcon(CVellumMenuItem* item, const char* link) {
    char target[MAX_PATH] = "";
    char icon[MAX_PATH] = "";
    ReadShortcutField(link, target, sizeof(target), kReadTarget);
    int index = ReadShortcutField(link, icon, sizeof(icon), kReadIconLocation);
    if (!icon[0]) return;
    if (lstrcmpiA(icon, target) == 0 && index == 0) return;
    item->SetIconPath(1, icon);
    item->IconIndex = index;
    item->RefreshIcon();
}

void DisplayName(const char* file, char* out, size_t size) {
    SHFILEINFOA info = {};
    if (SHGetFileInfoA(file, 0, &info, sizeof(info), SHGFI_DISPLAYNAME) && info.szDisplayName[0])
        tess::CopyText(out, size, info.szDisplayName);
    else
        tess::CopyText(out, size, file);
}

CVellumMenuItem_Shortcut* ShortcutFor(CVellumMenuObject* bar, CVellumMenuSection* section,
                                      const char* title, const char* command) {
    auto* item = new (std::nothrow) CVellumMenuItem_Shortcut(bar, section);
    if (!item) return nullptr;
    if (!item->SetTarget(title, command, nullptr, nullptr)) {
        delete item;
        return nullptr;
    }
    return item;
}

CVellumMenuItem* MakeFileItem(CVellumMenuObject* bar, CVellumMenuSection* section,
                              const char* file) {
    char title[MAX_PATH] = "";
    DisplayName(file, title, sizeof(title));
    char command[kShortcutTargetSize] = "";
    bool link = HasExtension(file, ".lnk");
    if (link) {
        if (!LinkCommand(file, command, sizeof(command))) return nullptr;
    } else if (HasExtension(file, ".url")) {
        if (FAILED(GetInternetShortcutUrl(file, command, sizeof(command))) || !command[0])
            return nullptr;
    } else if (!tess::CopyText(command, file)) {
        return nullptr;
    }
    CVellumMenuItem_Shortcut* item = ShortcutFor(bar, section, title, command);
    if (item && link) TakeLinkIcon(item, file);
    return item;
}

CVellumMenuItem* MoveIntoFolder(CVellumMenuObject* bar, CVellumMenuSection* section,
                                const char* file) {
    char folder[MAX_PATH] = "";
    if (!GetFolderSectionFolder(section, folder, sizeof(folder)) || !folder[0]) return nullptr;
    const char* name = strrchr(file, '\\');
    name = name ? name + 1 : file;
    char moved[MAX_PATH] = "";
    if (!tess::CopyText(moved, folder) || !tess::AppendText(moved, name)) return nullptr;
    ShellFileOperation(folder, file, FO_MOVE, FOF_ALLOWUNDO);
    if (!PathExists(moved)) return nullptr;
    CVellumMenuItem_Shortcut* item = ShortcutFor(bar, section, nullptr, moved);
    if (item) item->m_inFolderSection = TRUE;
    return item;
}

CVellumMenuItem* MakeNewItem(CVellumMenuObject* bar, CVellumMenuSection* section, int kind) {
    CVellumMenuItem* item = nullptr;
    const char* title = nullptr;
    switch (kind) {
    case kNewDefaultItem:
    case kNewSeparator:
        item = MakePlainItem(bar, section, 0, "");
        title = kind == kNewSeparator ? "-------------" : "New Item";
        if (item && kind == kNewSeparator) item->Separator = TRUE;
        break;
    case kNewShortcutItem:
        item = new (std::nothrow) CVellumMenuItem_Shortcut(bar, section);
        title = "New Shortcut Item";
        break;
    case kNewPopupItem:
        item = MakePopupItem(bar, section, 0, "Popup");
        title = "New Popup Item";
        break;
    case kNewClockItem:
        item = MakeClockItem(bar, section, 0, "Clock");
        break;
    default:
        return nullptr;
    }
    if (item && title) item->SetItemTitle(const_cast<char*>(title), 0);
    return item;
}

struct DropItemsRegistration {
    DropItemsRegistration() {
        DropItemCalls& calls = GetDropItemCalls();
        calls.MakeFileItem = MakeFileItem;
        calls.MoveIntoFolder = MoveIntoFolder;
        calls.MakeNewItem = MakeNewItem;
    }
};
const DropItemsRegistration kDropItemsRegistration;

}  // namespace
