// What drag and drop needs from item and section types of the layer above
// the bar model: items made from dropped files and from the palette. The
// types layer fills this table while the program loads; an empty entry makes
// no item, and the drop then changes nothing.
#pragma once
#include <windows.h>

class CVellumMenuItem;
class CVellumMenuObject;
class CVellumMenuSection;

struct DropItemCalls {
    // A shortcut item for a file dropped on a "Default" section (a link's
    // target and icon, a web shortcut's address, or the file itself), not
    // yet inserted; null when none could be made.
    CVellumMenuItem* (*MakeFileItem)(CVellumMenuObject* bar, CVellumMenuSection* section,
                                     const char* file);
    // Moves the file into the folder of a "Folder" section and makes the
    // shortcut item of the moved file, marked as an entry of the folder, not
    // yet inserted; null when the file was not moved.
    CVellumMenuItem* (*MoveIntoFolder)(CVellumMenuObject* bar, CVellumMenuSection* section,
                                       const char* file);
    // A new item of a palette kind (NewItemKind), not yet inserted.
    CVellumMenuItem* (*MakeNewItem)(CVellumMenuObject* bar, CVellumMenuSection* section, int kind);
};

DropItemCalls& GetDropItemCalls();
