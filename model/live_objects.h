// The one check that a pointer taken from a message names something alive in
// this process, made before anything is read or freed through it. Any process
// can post a registered message, so a pointer in wParam or lParam is only
// compared against what the program knows; it is never dereferenced first.
#pragma once
#include <windows.h>

class CVellumMenuObject;

// A bar object that is constructed and not yet being deleted.
bool IsLiveBar(const void* p);
// A section held by a live bar.
bool IsLiveSection(const void* p);
// An item (or scroll arrow) held by a section of a live bar.
bool IsLiveItem(const void* p);

// Records the program allocated itself and handed out through a message.
void RegisterOwnedRecord(const void* p);
void UnregisterOwnedRecord(const void* p);
bool IsOwnedRecord(const void* p);

// Bars the user never sees as their own: the hidden desktop right-click bar
// (class "Tessellar Toolbar DESKTOP") and bars marked internal or never-save.
// Every loop over the user's bars skips them.
bool IsInternalBar(const CVellumMenuObject* bar);
bool IsInternalBarWindow(HWND wnd);

// Kept by the bar object itself; not for other callers.
void TrackLiveBar(CVellumMenuObject* bar);
void ForgetLiveBar(CVellumMenuObject* bar);
// The bar behind a bar window, or null when the window has none or its
// "lpMenuObject" names nothing alive.
CVellumMenuObject* LiveBarOfWindow(HWND wnd);

// For buffers that plug-ins in this process pass by pointer in a message:
// true when [p, p+size) is committed, writable memory of this process.
// A pointer posted by another process that names nothing here is refused.
bool IsWritableCallerBuffer(const void* p, size_t size);
bool IsReadableCallerBuffer(const void* p, size_t size);
