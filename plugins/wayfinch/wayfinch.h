// Wayfinch, the address-box plug-in: one record per plug-in item, the
// library's globals, and the parts of the box (wayfinch_box.cpp).
#pragma once
#include <windows.h>
#include <string>
#include "types/plugin_interface.h"

constexpr int kInstanceNameSize = 100;
constexpr int kEntrySize = 1000;          // 999 characters and the end
constexpr int kHistoryKept = 20;
constexpr int kHistoryReadMax = 1000;
constexpr int kComboListHeight = 650;

// AddressBoxInstance: what one address box owns, kept in the item's slot.
struct AddressBoxInstance {
    char name[kInstanceNameSize];
    void* hostItem;
    HWND combo;
    HWND parking;      // parents the combo until VTM_ATTACH
    int goState;       // 0 normal, 1 hot, 2 pressed, 3 pressed with the pointer outside
    int goWidth, goHeight;
    HBITMAP go[3];     // normal, hot, pressed
    int showGo;
};

// ---- library globals (wayfinch.cpp) ----------------------------------------------------------
HINSTANCE WayfinchModule();
INT_PTR CallHost(UINT code, INT_PTR p1, INT_PTR p2);
UINT RunThisProgramMessage();
// Item id lists are freed through the shell's task allocator.
void FreeItemIdList(void* pidl);

// ---- files ---------------------------------------------------------------------------------------
// "<plug-ins folder>Wayfinch.ini", the history every box shares.
std::string HistoryFile();
// The box's own settings: the folder the host gives for code 1056 +
// "Wayfinch" + instance name + ".ini".
std::string InstanceFile(const AddressBoxInstance* box);

// ---- the box (wayfinch_box.cpp) ---------------------------------------------------------------------
HWND CreateAddressCombo(HWND parent);
void LayoutAddressCombo(AddressBoxInstance* box);
// 1 when the mouse message was the go button's (handled).
int TrackGoButton(AddressBoxInstance* box, UINT message);
int GetTypedIconIndex(const char* text);
void AppendEntry(HWND combo, const char* text, int icon);
int EntryCount(HWND combo);
std::string EntryText(HWND combo, int index);
std::string EditText(HWND combo);
// A heap copy of text goes to the combo's parent with "Wayfinch-RunThisProgram".
void PostForRunning(AddressBoxInstance* box, const std::string& text);
// Runs text (delete[] taken over), retrying as an internet address, and
// keeps the history; the "Windows cannot find" box when nothing runs.
void RunThisProgram(AddressBoxInstance* box, char* text);
// VTM_WINDOWMESSAGE for the box.
INT_PTR OnWindowMessage(AddressBoxInstance* box, const PluginWindowMessage* message);
INT_PTR OnPaint(AddressBoxInstance* box, const PluginPaintInfo* info);
INT_PTR CALLBACK AddressBoxConfigDialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp);
INT_PTR CALLBACK ParkingDialogProc(HWND, UINT, WPARAM, LPARAM);
