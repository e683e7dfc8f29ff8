// The type-name tables of sections and items and the stand-in classes that
// take every type until its own class is built.
#include "model/section_factory.h"
#include "model/bar_file.h"
#include <new>
#include "model/vellum_menu_object.h"
#include "util/profile_writer.h"
#include "util/text.h"

namespace {

struct TypeAlias {
    const char* name;     // as a file may store it
    const char* stored;   // as it is written back
};

// Section types of the table whose classes are not built yet; each falls
// back to the default section and keeps its name for the next save.
const TypeAlias kSectionTypes[] = {
    {"Replacable", "Replacable"},
    {"Folder", "Folder"},
    {"Systray", "Systray"},
    {"System Tray", "Systray"},
    {"Taskbar", "Taskbar"},
    {"Panorel", "Panorel"},
    {"Virtual Desktops", "Panorel"},
};

const char* const kItemTypes[] = {"Shortcut", "Popup", "Clock", "SpecialMenu", "Plugin"};

struct RegisteredSection {
    const char* stored;
    SectionClassMaker make;
};
struct RegisteredItem {
    const char* stored;
    ItemClassMaker make;
};

// Filled while the program loads (static constructors of the types layer),
// read afterwards: no lock needed.
RegisteredSection g_sectionClasses[sizeof(kSectionTypes) / sizeof(kSectionTypes[0])];
RegisteredItem g_itemClasses[sizeof(kItemTypes) / sizeof(kItemTypes[0])];
ItemClassMaker g_defaultItemClass = nullptr;
SectionClassMaker g_defaultSectionClass = nullptr;

const char* StoredSectionType(const char* name) {
    if (!name) return "";
    for (const TypeAlias& alias : kSectionTypes)
        if (lstrcmpiA(name, alias.name) == 0) return alias.stored;
    return "";
}

const char* StoredItemType(const char* name) {
    if (!name) return "";
    for (const char* type : kItemTypes)
        if (lstrcmpiA(name, type) == 0) return type;
    return "";
}

SectionClassMaker RegisteredSectionMaker(const char* stored) {
    for (const RegisteredSection& entry : g_sectionClasses)
        if (entry.stored && lstrcmpA(entry.stored, stored) == 0) return entry.make;
    return nullptr;
}

ItemClassMaker RegisteredItemMaker(const char* stored) {
    for (const RegisteredItem& entry : g_itemClasses)
        if (entry.stored && lstrcmpA(entry.stored, stored) == 0) return entry.make;
    return nullptr;
}

}  // namespace

bool RegisterSectionClass(const char* typeName, SectionClassMaker make) {
    const char* stored = StoredSectionType(typeName);
    if (!stored[0]) return false;
    for (RegisteredSection& entry : g_sectionClasses)
        if (!entry.stored || lstrcmpA(entry.stored, stored) == 0) {
            entry = {stored, make};
            return true;
        }
    return false;
}

bool RegisterItemClass(const char* typeName, ItemClassMaker make) {
    const char* stored = StoredItemType(typeName);
    if (!stored[0]) return false;
    for (RegisteredItem& entry : g_itemClasses)
        if (!entry.stored || lstrcmpA(entry.stored, stored) == 0) {
            entry = {stored, make};
            return true;
        }
    return false;
}

void RegisterDefaultItemClass(ItemClassMaker make) { g_defaultItemClass = make; }
void RegisterDefaultSectionClass(SectionClassMaker make) { g_defaultSectionClass = make; }

CVellumMenuSection* CreateSectionOfType(const char* typeName, CVellumMenuObject* bar,
                                        int sectionNumber) {
    const char* stored = StoredSectionType(typeName);
    if (stored[0])
        if (SectionClassMaker make = RegisteredSectionMaker(stored)) return make(bar, sectionNumber);
    if (!stored[0] && g_defaultSectionClass) return g_defaultSectionClass(bar, sectionNumber);
    return new (std::nothrow) CVellumMenuSection_Default(bar, sectionNumber, 1, stored);
}

CVellumMenuItem* CreateItemOfType(const char* typeName, CVellumMenuObject* bar,
                                  CVellumMenuSection* section, int itemNumber) {
    const char* stored = StoredItemType(typeName);
    if (stored[0])
        if (ItemClassMaker make = RegisteredItemMaker(stored))
            return make(bar, section, itemNumber, stored);
    if (g_defaultItemClass) return g_defaultItemClass(bar, section, itemNumber, stored);
    return new (std::nothrow) CVellumMenuItem_Default(bar, section, itemNumber, stored);
}

CVellumMenuItem* CreateItemOfBuiltType(const char* typeName, CVellumMenuObject* bar,
                                       CVellumMenuSection* section, int itemNumber) {
    bool default_item = !typeName || !typeName[0] || lstrcmpiA(typeName, "Default") == 0;
    if (default_item) return CreateItemOfType("", bar, section, itemNumber);
    const char* stored = StoredItemType(typeName);
    ItemClassMaker make = stored[0] ? RegisteredItemMaker(stored) : nullptr;
    return make ? make(bar, section, itemNumber, stored) : nullptr;
}

// ---- the default section ----------------------------------------------------------------------

CVellumMenuSection_Default::CVellumMenuSection_Default(CVellumMenuObject* bar, int sectionNumber,
                                                       int loadItems, const char* storedType)
    : CVellumMenuSection(bar, sectionNumber, loadItems) {
    tess::CopyText(m_storedType, storedType ? storedType : "");
    // The section's own keys of a type not built yet; the items took theirs.
    if (m_storedType[0] && bar && bar->m_loadingSections && loadItems)
        m_unreadKeys = TakeUnreadKeys(bar, m_iniSectionName, 0);
}

int CVellumMenuSection_Default::SaveExternal() {
    if (m_storedType[0] && m_pBar) {
        tess::WriteProfileString(m_iniSectionName, "Properties.Type", m_storedType,
                                     m_pBar->m_barFile);
        WriteUnreadKeys(m_unreadKeys, "", m_iniSectionName, m_pBar->m_barFile);
    }
    return 0;   // the items are written by the section
}

// ---- the default item -------------------------------------------------------------------------

CVellumMenuItem_Default::CVellumMenuItem_Default(CVellumMenuObject* bar,
                                                 CVellumMenuSection* section, int itemNumber,
                                                 const char* storedType)
    : CVellumMenuItem(bar, section, itemNumber, nullptr, -1) {
    tess::CopyText(m_storedType, storedType ? storedType : "");
    // The keys of a type not built yet, which the base item does not read.
    if (m_storedType[0] && m_valid && section && bar && bar->m_loadingSections && itemNumber > 0)
        m_unreadKeys = TakeUnreadKeys(bar, m_sectionName, itemNumber);
}

int CVellumMenuItem_Default::SaveExternal() {
    CVellumMenuItem::SaveExternal();
    if (m_storedType[0] && m_pBar) {
        char key[kIniKeyNameSize];
        BuildString(key, const_cast<char*>("Type"));
        tess::WriteProfileString(m_sectionName, key, m_storedType, m_pBar->m_barFile);
        BuildString(key, nullptr);   // "Item<n>." under the number of this save
        WriteUnreadKeys(m_unreadKeys, key, m_sectionName, m_pBar->m_barFile);
    }
    return 1;
}
