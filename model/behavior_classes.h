// Behaviour classes: what an item does, as the behaviour combo box of an
// item's page offers it. A class is an item type (shortcut, popup, clock,
// special menu, plug-in) or, for default items, the command set that the
// item's action comes from. Choosing another class makes a new item of that
// class, which the main window swaps in for the old one.
#pragma once
#include <windows.h>

class CVellumMenuItem;

constexpr int kBehaviorClassCount = 10;
// The longest list or class name, with its terminator.
constexpr int kBehaviorNameSize = 32;

// index 0..9 with a name wanted: the names of the class (either may be
// null), the result its listed flag. index 0..9 with neither name: the
// index, and the new item in *newItem when asked. index -1: a search by
// className (default-item classes only with the item's ActionClass), then
// by listName (creating the item when asked); -1 when nothing matches.
// Other indexes answer themselves. A class whose item type is not built
// yet creates nothing.
int QueryBehaviorClass(CVellumMenuItem* item, int index, char* listName, char* className,
                       CVellumMenuItem** newItem);
int GetBehaviorClassName(CVellumMenuItem* item, int index, char* listName);
int CreateItemOfBehaviorClass(CVellumMenuItem* item, int index, CVellumMenuItem** newItem);
int CreateItemOfBehaviorName(CVellumMenuItem* item, char* listName, CVellumMenuItem** newItem);
// The item's class; -1 for none (or a null item).
int GetItemBehaviorClass(CVellumMenuItem* item);

// Fills the combo with the listed classes (item data: the class index) and
// selects the item's class, or "System Commands" for an unlisted one.
// 0 for a null item or combo.
int FillBehaviorClassCombo(CVellumMenuItem* item, HWND combo);
// Applies the class chosen in the combo: asks first unless nothing would be
// lost, then posts "SwapItems (Behavior)" with the new item to the main
// window of the item's bar. 0 when nothing changes (or the user said No,
// and the combo shows the current class again), 1 otherwise.
int ApplyBehaviorClassChange(CVellumMenuItem* item, HWND combo);
