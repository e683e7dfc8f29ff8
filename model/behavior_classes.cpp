// The behaviour-class table, its queries, and the behaviour combo box.
#include "model/behavior_classes.h"
#include "model/bar_host.h"
#include "model/live_objects.h"
#include "model/registered_names.h"
#include "model/section_factory.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "util/text.h"

namespace {

constexpr int kNoCommandSet = -1;
constexpr int kSystemCommandsClass = 5;
constexpr int kSearch = -1;
constexpr int kComboScanLimit = 100;

struct BehaviorClass {
    const char* listName;
    const char* className;   // what the item's GetCustomItemName gives
    bool listed;
    const char* typeName;    // the item factory's type name; "" the default item
    int commandSet;          // a default item's ActionClass, else kNoCommandSet
};

const BehaviorClass kBehaviorClasses[kBehaviorClassCount] = {
    {"Window Commands", "Default Item", false, "", 0},
    {"Tessellar Internal Commands", "Default Item", false, "", 2},
    {"Shortcut Item", "Shortcut", true, "Shortcut", kNoCommandSet},
    {"Popup Menu Item", "Popup Item", true, "Popup", kNoCommandSet},
    {"Clock Item", "Clock", true, "Clock", kNoCommandSet},
    {"System Commands", "Default Item", true, "", 1},
    {"Special Menu", "Special Menu", true, "SpecialMenu", kNoCommandSet},
    {"Clipboard Commands", "Default Item", false, "", 3},
    {"More System Commands", "Default Item", false, "", 4},
    {"Plugin", "PluginItem", true, "Plugin", kNoCommandSet},
};

const char kChangeWarning[] =
    "Warning: Changing this setting will clear any current behavior properties!\nContinue?";

bool IsClassIndex(int index) { return index >= 0 && index < kBehaviorClassCount; }

bool IsDefaultItemClass(const BehaviorClass& c) { return c.commandSet != kNoCommandSet; }

// A new item of the class in the given item's bar and section, or null when
// the class's item type is not built yet (or memory ran out).
CVellumMenuItem* CreateItemOfClass(CVellumMenuItem* item, int index) {
    const BehaviorClass& c = kBehaviorClasses[index];
    CVellumMenuObject* bar = item ? item->m_pBar : nullptr;
    CVellumMenuSection* section = item ? item->m_pSection : nullptr;
    CVellumMenuItem* made = CreateItemOfBuiltType(c.typeName, bar, section, -1);
    if (made && IsDefaultItemClass(c)) {
        made->Action = 0;
        made->ActionClass = c.commandSet;
    }
    return made;
}

bool MatchesClassName(CVellumMenuItem* item, const BehaviorClass& c, const char* className) {
    if (!className || lstrcmpiA(className, c.className) != 0) return false;
    // "Default Item" names five classes: the item's command set tells them apart.
    return !IsDefaultItemClass(c) || (item && item->ActionClass == c.commandSet);
}

int SearchBehaviorClass(CVellumMenuItem* item, const char* listName, const char* className,
                        CVellumMenuItem** newItem) {
    for (int i = 0; i < kBehaviorClassCount; ++i) {
        const BehaviorClass& c = kBehaviorClasses[i];
        if (MatchesClassName(item, c, className)) return i;
        if (listName && lstrcmpiA(listName, c.listName) == 0) {
            if (newItem) *newItem = CreateItemOfClass(item, i);
            return i;
        }
    }
    return -1;
}

int ComboSelectionData(HWND combo) {
    LRESULT sel = ::SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (sel == CB_ERR) return -1;
    return static_cast<int>(::SendMessageA(combo, CB_GETITEMDATA, sel, 0));
}

void SelectComboData(HWND combo, int data) {
    int count = static_cast<int>(::SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (static_cast<int>(::SendMessageA(combo, CB_GETITEMDATA, i, 0)) == data) {
            ::SendMessageA(combo, CB_SETCURSEL, i, 0);
            return;
        }
}

// The combo's entry of the class, or "System Commands" for an unlisted one.
void SelectCurrentClass(HWND combo, int current) {
    bool listed = IsClassIndex(current) && kBehaviorClasses[current].listed;
    SelectComboData(combo, listed ? current : kSystemCommandsClass);
}

// A default item without an action loses nothing when its class changes.
bool ChangeLosesNothing(CVellumMenuItem* item, int current) {
    if (item->Action != 0 || !IsClassIndex(current)) return false;
    return IsDefaultItemClass(kBehaviorClasses[current]);
}

bool UserAgreesToChange(HWND combo) {
    const BarHostServices& host = GetBarHostServices();
    if (host.IsBehaviorWarningHidden && host.IsBehaviorWarningHidden()) return true;
    HWND owner = ::GetParent(combo);
    return ::MessageBoxA(owner, kChangeWarning, "Tessellar", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// Hands the new item to the main window, which swaps it in once the page's
// message has returned. The item is registered as the program's own record
// so that the main window can trust the pointer; false when it cannot be
// posted (the caller then frees the item).
bool PostSwap(CVellumMenuItem* oldItem, CVellumMenuItem* newItem) {
    HWND main = oldItem->m_pBar ? oldItem->m_pBar->m_hMainWindow : nullptr;
    if (!main || !::IsWindow(main)) return false;
    static const UINT swap = ::RegisterWindowMessageA(
        RegisteredNameText(RegisteredName::SwapItemsBehavior));
    RegisterOwnedRecord(newItem);
    if (::PostMessageA(main, swap, reinterpret_cast<WPARAM>(oldItem),
                       reinterpret_cast<LPARAM>(newItem)))
        return true;
    UnregisterOwnedRecord(newItem);
    return false;
}

}  // namespace

int QueryBehaviorClass(CVellumMenuItem* item, int index, char* listName, char* className,
                       CVellumMenuItem** newItem) {
    if (newItem) *newItem = nullptr;
    // A search reads listName; every other query writes it.
    if (index == kSearch) return SearchBehaviorClass(item, listName, className, newItem);
    if (listName) listName[0] = '\0';
    if (!IsClassIndex(index)) return index;
    const BehaviorClass& c = kBehaviorClasses[index];
    if (listName || className) {
        if (listName) tess::CopyText(listName, kBehaviorNameSize, c.listName);
        if (className) tess::CopyText(className, kBehaviorNameSize, c.className);
        return c.listed ? 1 : 0;
    }
    if (newItem) *newItem = CreateItemOfClass(item, index);
    return index;
}

int GetBehaviorClassName(CVellumMenuItem* item, int index, char* listName) {
    return QueryBehaviorClass(item, index, listName, nullptr, nullptr);
}

int CreateItemOfBehaviorClass(CVellumMenuItem* item, int index, CVellumMenuItem** newItem) {
    return QueryBehaviorClass(item, index, nullptr, nullptr, newItem);
}

int CreateItemOfBehaviorName(CVellumMenuItem* item, char* listName, CVellumMenuItem** newItem) {
    return QueryBehaviorClass(item, kSearch, listName, nullptr, newItem);
}

int GetItemBehaviorClass(CVellumMenuItem* item) {
    if (!item) return -1;
    // Item types write their name without a size: leave them ample room.
    char name[1024] = "";
    item->GetCustomItemName(name);
    name[sizeof(name) - 1] = '\0';
    if (!name[0]) return -1;
    return QueryBehaviorClass(item, kSearch, nullptr, name, nullptr);
}

int FillBehaviorClassCombo(CVellumMenuItem* item, HWND combo) {
    if (!item || !combo) return 0;
    int current = GetItemBehaviorClass(item);
    int current_pos = -1, system_pos = -1, pos = 0;
    for (int i = 0; i < kComboScanLimit; ++i) {
        char name[kBehaviorNameSize] = "";
        int listed = GetBehaviorClassName(item, i, name);
        if (!name[0]) break;
        if (listed != 1) continue;
        ::SendMessageA(combo, CB_INSERTSTRING, pos, reinterpret_cast<LPARAM>(name));
        ::SendMessageA(combo, CB_SETITEMDATA, pos, i);
        if (i == current) current_pos = pos;
        if (i == kSystemCommandsClass) system_pos = pos;
        ++pos;
    }
    ::SendMessageA(combo, CB_SETCURSEL, current_pos >= 0 ? current_pos : system_pos, 0);
    return 1;
}

int ApplyBehaviorClassChange(CVellumMenuItem* item, HWND combo) {
    if (!item || !combo) return 0;
    int current = GetItemBehaviorClass(item);
    int chosen = ComboSelectionData(combo);
    if (chosen == current) return 0;
    if (!ChangeLosesNothing(item, current) && !UserAgreesToChange(combo)) {
        SelectCurrentClass(combo, current);
        return 0;
    }
    CVellumMenuItem* made = nullptr;
    CreateItemOfBehaviorClass(item, chosen, &made);
    if (made && PostSwap(item, made)) return 1;
    // A class whose item type is not built yet (or a bar without a main
    // window) changes nothing: the combo shows the current class again.
    delete made;
    SelectCurrentClass(combo, current);
    return 0;
}
