// The programs whose menu bars are never hidden: a table of up to 200
// program file names (such as "notepad.exe"), kept in the registry under
// the settings key's subkey "MenuHidingExclusions" as "ExcludedProgram#%i",
// and edited in dialog 230 "Menu Hiding Exclusions".
#pragma once
#include <windows.h>

constexpr int kMaxMenuHidingExclusions = 200;
// Longest name kept, whatever a value in the registry holds.
constexpr int kExclusionNameSize = 501;

// Ignored for an empty name or a full table; stored in the first free slot.
void AddMenuHidingExclusion(const char* name);
// Frees every slot holding the name (case-insensitive).
void RemoveMenuHidingExclusion(const char* name);
bool IsMenuHidingExcluded(const char* name);
// The base name of the program that owns the window is excluded.
bool IsWindowMenuHidingExcluded(HWND wnd);
// The slots ever filled plus one; freed slots inside stay counted.
int GetMenuHidingExclusionSlots();
// The name in a slot; "" for a free one.
const char* GetMenuHidingExclusion(int slot);
// List box: one line per name, its slot as item data.
void FillExclusionList(HWND list);
void LoadMenuHidingExclusions(HKEY settings_key);
// Replaces the subkey with the names in slot order; false when it cannot be written.
bool SaveMenuHidingExclusions(HKEY settings_key);
void ClearMenuHidingExclusions();
void FreeMenuHidingExclusions();

// Dialog 230, modal.
INT_PTR CALLBACK MenuHidingExclusionsDialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
void ShowMenuHidingExclusionsDialog(HWND owner);
