// A bar's property pages: Display (1237, or 1241 for a vertical bar),
// Sizing && Positioning (137), Advanced (141), Extra Options (1123) and Hotkey
// (1238), each a modeless page of the page framework that applies every
// change to the bar at once; and the two modal dialogs they open, the skin
// chooser "Change Skin..." (1242) and "More Bar Sizing/Positioning Options"
// (1235).
#pragma once
#include <windows.h>
#include <string>

class CVellumMenuObject;

// ---- pages (the bar's BarPageSlot numbers) ------------------------------------------------------
// Creates the page in its slot once, as a child of parent, or returns the
// one already open; null for an unknown slot or a page that did not come to be.
HWND OpenBarPage(CVellumMenuObject* bar, int slot, HWND parent);
// The four size rules between the bar and its Advanced page: to_controls 1
// writes them into the page (filling its combos), 0 reads them into the bar.
// 0 when the page does not exist, else 1.
int ExchangeBarSizeRules(CVellumMenuObject* bar, int to_controls);

// ---- modal dialogs ----------------------------------------------------------------------------------
void ShowBarSkinChooser(CVellumMenuObject* bar, HWND owner);
void ShowMoreBarSizingOptions(CVellumMenuObject* bar, HWND owner);

// ---- what the pages do to the bar ----------------------------------------------------------------
// Gives the bar the skin file and lays it out again. The new skin is loaded
// before the old one is let go: a path that is empty, names no file or does
// not load leaves the old skin and returns false. foreign: the skin lies in
// another theme.
bool ApplyBarSkin(CVellumMenuObject* bar, const char* path, bool foreign);
// The path of the bar's skin file, empty without a skin.
std::string BarSkinPath(const CVellumMenuObject* bar);
// The text of the Current Skin field: " " + the skin's name, and for a skin
// from another theme " (" + the name of its folder + ")".
std::string CurrentSkinText(const CVellumMenuObject* bar);
// A comment as the edit field gives it, without the soft line breaks
// ("\r\r\n") a multi-line edit may insert at its wraps.
std::string CommentWithoutSoftBreaks(const char* text);
// Whether another open user bar already has the title (ignoring case); the
// bar's own title does not count.
bool IsBarTitleTaken(CVellumMenuObject* bar, const char* title);
