// The host side of the plug-in interface: the host callback plug-ins call,
// the process-wide tables (library users, live items, items that get window
// messages), and the information query made without an item.
#pragma once
#include <windows.h>
#include <string>
#include "types/plugin_interface.h"

class CVellumMenuItem_Plugin;
class CVellumMenuObject;

// Capacities of the host's tables.
constexpr int kPluginLibraryTableSize = 150;
constexpr int kPluginLiveItemTableSize = 20;
constexpr int kPluginForwardingTableSize = 50;
constexpr int kPluginBrowserTableSize = 150;

// Exported undecorated from Tessellar.exe (the program's .def file).
extern "C" INT_PTR WINAPI VTHostCallback(UINT code, INT_PTR p1, INT_PTR p2);

// ---- library users ----------------------------------------------------------------------------
// One more item uses the library at path (case-insensitive); the new count,
// or 0 when the table already holds 150 other libraries (the load is refused).
int AddPluginLibraryUser(const char* path);
// One user less; the count left (0: the entry is gone).
int RemovePluginLibraryUser(const char* path);
int GetPluginLibraryUsers(const char* path);

// ---- live items (VTHC_REGISTERITEM) ---------------------------------------------------------------
// 1 when added or removed; 0 when the table is full (the item is not added).
int RegisterLiveItem(CVellumMenuItem_Plugin* item, int add);
// Sends the message to every live item, of that bar only when one is given.
void BroadcastPluginMessage(CVellumMenuObject* bar, UINT message, INT_PTR param, INT_PTR param2);

// ---- window-message forwarding -------------------------------------------------------------------
// Sets the item's forwards flag from its capabilities (0x80); with remove or
// without 0x80 the item leaves the table, else it joins it (nothing when it
// is there already or the table is full).
void SetPluginMessageForwarding(CVellumMenuItem_Plugin* item, int remove);
bool IsInForwardingTable(const CVellumMenuItem_Plugin* item);
// ForwardWindowMessageToPlugins (model/bar_window.h) lands here: every item
// of the table that watches all windows or whose child window is wnd gets
// VTM_WINDOWMESSAGE. Walks a copy: a handler may change the table.
void DeliverWindowMessageToPlugins(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

// ---- information ----------------------------------------------------------------------------------
// The information query without an item: load, VTM_GETINFO (host id 2,
// version 150), free. False when the library does not load, has no
// "VTMessage" or does not answer.
bool QueryPluginInfo(const char* path, PluginInfoRecord* info);
// The text the item page and the browser show for a record.
std::string PluginInfoText(const PluginInfoRecord& info);
// The text for a library; empty when the query fails.
std::string GetPluginInfoText(const char* path);

// The host's answer to a callback made for an item: the item when it is a
// live plug-in item, else null (a plug-in may hold a stale pointer).
CVellumMenuItem_Plugin* LivePluginItem(INT_PTR p);
