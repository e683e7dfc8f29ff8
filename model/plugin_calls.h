// What the bar model needs from plug-in items, a class of the types layer
// above it. The types layer fills this table while the program loads; an
// empty entry means no plug-in host is in this program, and the call does
// nothing.
#pragma once
#include <windows.h>

class CVellumMenuObject;

// The plug-in messages of the bar context menu (the plug-in interface's
// VTM_BARCONTEXTMENU and VTM_BARCONTEXTCOMMAND).
constexpr UINT kPluginBarContextMenu = 1100;
constexpr UINT kPluginBarContextCommand = 1101;

struct PluginCalls {
    // Plug-in items that watch a window get its messages.
    void (*ForwardWindowMessage)(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    // A bar save starts: the data files its plug-ins register from here on
    // belong to this bar's record.
    void (*BeginDataFileRegistration)(CVellumMenuObject* bar);
    // The save ended; only a save that reached the disk replaces the bar's
    // record of data files.
    void (*EndDataFileRegistration)(CVellumMenuObject* bar, bool saved);
    // Every live plug-in item of the bar gets the plug-in message (the bar's
    // context menu is built, or one of its commands was chosen).
    void (*TellBarPlugins)(CVellumMenuObject* bar, UINT message, INT_PTR param);
};

PluginCalls& GetPluginCalls();
// Through the table; nothing when no plug-in host is in this program.
void TellBarPlugins(CVellumMenuObject* bar, UINT message, INT_PTR param);
