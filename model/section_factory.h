// The section and item factories: the type names that bar files store, and
// the stand-in classes that take every type until its own class exists. A
// stand-in remembers a stored type name so that a save writes it back and
// the file keeps the type for the program that knows it.
#pragma once
#include <string>
#include <vector>
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_section.h"

// Creates the section class for a stored "Properties.Type" (case-insensitive;
// anything unknown gives the default section). Null when out of memory.
CVellumMenuSection* CreateSectionOfType(const char* typeName, CVellumMenuObject* bar,
                                        int sectionNumber);
// The item class for a stored "Item<n>.Type" (case-insensitive; anything
// unknown gives the default item), read with the loader constructor.
CVellumMenuItem* CreateItemOfType(const char* typeName, CVellumMenuObject* bar,
                                  CVellumMenuSection* section, int itemNumber);

// Like CreateItemOfType, but only a class that is built: a type name that no
// class claimed gives null, not the default item ("" or "Default" gives the
// default item).
CVellumMenuItem* CreateItemOfBuiltType(const char* typeName, CVellumMenuObject* bar,
                                       CVellumMenuSection* section, int itemNumber);

// The classes of the section and item types register themselves here (the
// types layer does so while the program loads); a type name nobody claimed
// gets the stand-in below. A maker returns null when out of memory.
typedef CVellumMenuSection* (*SectionClassMaker)(CVellumMenuObject* bar, int sectionNumber);
typedef CVellumMenuItem* (*ItemClassMaker)(CVellumMenuObject* bar, CVellumMenuSection* section,
                                           int itemNumber, const char* storedType);
// typeName as files store it (one of the table's names); a second
// registration of a name replaces the first. False for an unknown name.
bool RegisterSectionClass(const char* typeName, SectionClassMaker make);
bool RegisterItemClass(const char* typeName, ItemClassMaker make);
// The item class for "Default" and every type name no class claimed; it is
// given the stored type name ("" for "Default") to write back.
void RegisterDefaultItemClass(ItemClassMaker make);
// The section class for "Default" and every type name no class claimed;
// without one the default section below is made.
void RegisterDefaultSectionClass(SectionClassMaker make);

// Drops what a section kept of a bar-file section too long to read whole.
void ForgetSectionTail(const CVellumMenuSection* section);

// A key of a stand-in's stored type that no class read, kept as text so that
// a save does not lose it. For an item the name is what follows its
// "Item<n>." (so it moves with the item when items are renumbered).
struct UnreadKey {
    std::string name;
    std::string value;
};
typedef std::vector<UnreadKey> UnreadKeys;

// Takes out of the bar's section reader the keys of iniSection that nobody
// read: those of item itemNumber, or with itemNumber 0 the section's own
// (neither item keys nor "Properties.Type"). A key the reader holds more
// than once counts as read when any copy was read.
UnreadKeys TakeUnreadKeys(CVellumMenuObject* bar, const char* iniSection, int itemNumber);
// Writes the kept keys as prefix + name, after the class wrote its keys; a
// key the file already holds is the class's and stays as written.
void WriteUnreadKeys(const UnreadKeys& keys, const char* prefix, const char* iniSection,
                     const char* file);

// The default section: the plain section every bar holds.
class TESS_EXPORT CVellumMenuSection_Default : public CVellumMenuSection {
public:
    CVellumMenuSection_Default(CVellumMenuObject* bar, int sectionNumber, int loadItems,
                               const char* storedType);
    int SaveExternal() override;

    // A section type of the table that is not built yet: written back as is,
    // with the keys of that type that this class does not read.
    char m_storedType[32];
    UnreadKeys m_unreadKeys;
};

// The default item: behaves like the base item.
class TESS_EXPORT CVellumMenuItem_Default : public CVellumMenuItem {
public:
    CVellumMenuItem_Default(CVellumMenuObject* bar, CVellumMenuSection* section, int itemNumber,
                            const char* storedType);
    int SaveExternal() override;

    char m_storedType[32];
    UnreadKeys m_unreadKeys;
};
