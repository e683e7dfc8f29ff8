// Helpers shared by the two halves of the drag-and-drop object.
#pragma once
#include <windows.h>
#include <ole2.h>

class CVellumMenuItem;
class CVellumMenuSection;

// A drop of the program's own targets happened during the current drag.
void SetDroppedHere();
// "Default" and "Folder" sections take files; folder tells which.
bool IsFileDropSection(CVellumMenuSection* section, bool* folder);
// An item of a locked section, or into one, moves only within its section.
bool MayMoveItemInto(CVellumMenuItem* item, CVellumMenuSection* target);
// The number of files in the data object's CF_HDROP list (0 without one).
int CountDroppedFiles(IDataObject* data);
