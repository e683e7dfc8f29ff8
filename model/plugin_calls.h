// What the bar model needs from plug-in items, a class of the types layer
// above it. The types layer fills this table while the program loads; an
// empty entry means no plug-in host is in this program, and the call does
// nothing.
#pragma once
#include <windows.h>

class CVellumMenuObject;

struct PluginCalls {
    // Plug-in items that watch a window get its messages.
    void (*ForwardWindowMessage)(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    // A bar save starts: the data files its plug-ins register from here on
    // belong to this bar's record.
    void (*BeginDataFileRegistration)(CVellumMenuObject* bar);
    // The save ended; only a save that reached the disk replaces the bar's
    // record of data files.
    void (*EndDataFileRegistration)(CVellumMenuObject* bar, bool saved);
};

PluginCalls& GetPluginCalls();
