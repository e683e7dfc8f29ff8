// The calling interface between Tessellar (the host) and its plug-in
// libraries, for both sides: the plug-in's one export "VTMessage", the
// messages sent through it, the capability word, the records passed by
// pointer, and the host's export "VTHostCallback" with its codes.
//
// All calls run on the host's GUI thread; text is ANSI. Integers are 32-bit;
// window, DC and bitmap handles in records are kept as 32-bit values (Windows
// keeps them 32-bit significant) and widened with (HWND)(ULONG_PTR) where
// used. Arguments and results that may carry a pointer are pointer-sized, so
// the 32-bit layout below is exact and the 64-bit build keeps its pointers.
#pragma once
#include <windows.h>

// ---- the plug-in's entry point ----------------------------------------------------------------

// VTMessage(host item, instance slot, message, param, param2): exported
// undecorated by name "VTMessage" from every plug-in. Unknown messages give 0.
typedef INT_PTR(WINAPI* VTMessageProc)(void* item, void** instance, UINT message, INT_PTR param,
                                       INT_PTR param2);
// VTHostCallback(code, p1, p2): exported undecorated by name "VTHostCallback"
// from Tessellar.exe, handed to each plug-in with VTM_INITIALIZE.
typedef INT_PTR(WINAPI* VTHostCallbackProc)(UINT code, INT_PTR p1, INT_PTR p2);

// ---- messages to the plug-in -------------------------------------------------------------------

enum VTM : UINT {
    VTM_INITIALIZE = 1,         // VTHostCallback, module; first user of the library
    VTM_MODULEDONE = 2,         // last user unloads the library
    VTM_GETINFO = 3,            // PluginInfoRecord*; non-zero = answered
    VTM_GETSTATENAME = 4,       // char[200], index 0..199; 0 ends the list
    VTM_GETSIZE = 5,            // PluginSizeInfo*
    VTM_CREATEINSTANCE = 6,     // int* capabilities (0 on entry)
    VTM_ENDINSTANCE = 7,
    VTM_CLONE = 8,              // source host item, source instance value
    VTM_ATTACH = 9,             // PluginAttachInfo*
    VTM_FREEINSTANCE = 10,
    VTM_LOAD = 11,              // instance id text, int* capabilities
    VTM_SAVE = 12,              // instance id text
    VTM_CONFIGURE = 13,         // capabilities value, owner window
    VTM_STATECHANGE = 14,       // state name, char[152] reply; non-zero = reply valid
    VTM_PAINT = 16,             // PluginPaintInfo*
    VTM_WINDOWMESSAGE = 18,     // PluginWindowMessage*, LRESULT* result
    VTM_COMMAND = 19,
    VTM_THEMESTATUS = 22,       // wParam of "VT_THEMESTATUS"
    VTM_MOVED = 28,             // PluginMovedInfo*
    VTM_SKINCHANGING = 1099,
    VTM_BARCONTEXTMENU = 1100,  // the bar's context menu
    VTM_BARCONTEXTCOMMAND = 1101,  // the chosen command id
    VTM_SCRIPTENABLED = 4003,   // 0 or 1
};

// ---- host callback codes -----------------------------------------------------------------------

enum VTHC : UINT {
    VTHC_GETDATAFOLDER = 1,
    VTHC_GETPLUGINFOLDER = 2,
    VTHC_REDRAWITEM = 3,
    VTHC_SETSTATE = 4,
    VTHC_GETITEMRECT = 6,
    VTHC_GETITEMSCREENRECT = 7,
    VTHC_SETSIZE = 8,
    VTHC_LOADIMAGE = 9,
    VTHC_REGISTERDATAFILE = 13,
    VTHC_SETTITLE = 21,
    VTHC_GETTITLE = 22,
    VTHC_GETTITLELENGTH = 23,
    VTHC_REGISTERITEM = 1009,
    VTHC_WATCHALLWINDOWS = 1013,
    VTHC_GETITEMBAR = 1019,
    VTHC_GETITEMSECTION = 1020,
    VTHC_GETITEM = 1021,
    VTHC_NEXTBAR = 1022,
    VTHC_PREVBAR = 1023,
    VTHC_NEXTSECTION = 1025,
    VTHC_PREVSECTION = 1026,
    VTHC_NEXTITEM = 1028,
    VTHC_PREVITEM = 1029,
    VTHC_GETOWNERBAR = 1031,
    VTHC_BARFROMWINDOW = 1032,
    VTHC_GETBARSKIN = 1056,
    VTHC_SETBARSKIN = 1057,
    VTHC_ISBARVERTICAL = 1069,
};

// ---- the capability word ------------------------------------------------------------------------

enum PluginCapabilities : int {
    kPluginPaints = 0x1,           // VTM_PAINT replaces the item's drawing
    kPluginAnswersSize = 0x2,      // VTM_GETSIZE (with 0x1 or 0x800)
    kPluginWantsCommand = 0x4,     // VTM_COMMAND on a click
    kPluginFixedStates = 0x20,     // custom states not editable on the pages
    kPluginWantsMessages = 0x80,   // VTM_WINDOWMESSAGE
    kPluginPaintsOver = 0x800,     // VTM_PAINT over the item's own drawing
};

// ---- identities ---------------------------------------------------------------------------------

constexpr int kPluginHostIdTessellar = 2;
constexpr int kPluginHostVersion = 150;
constexpr int kPluginHostFlagWidgets = 0x1;
constexpr int kPluginHostFlagTessellar = 0x2;
constexpr int kPluginStateNameSize = 200;
constexpr int kPluginStateReplySize = 152;
constexpr int kPluginPathSize = 260;

// ---- records --------------------------------------------------------------------------------------

#pragma pack(push, 4)

struct PluginInfoRecord {        // VTM_GETINFO
    int hostId;                  // set by the host: 2
    int hostVersion;             // set by the host: 150
    char name[256];
    char author[256];
    int version;                 // major * 100 + minor
    int platforms;               // 0x1 95, 0x2 98, 0x4 ME, 0x8 NT 4, 0x10 2000, 0x20 XP; 0 all
    int hosts;                   // 0x2 Tessellar (required), 0x1 the widget host
};
static_assert(sizeof(PluginInfoRecord) == 532, "PluginInfoRecord layout");

struct PluginAttachInfo {        // VTM_ATTACH
    DWORD childWindow;           // HWND of the item's "TSPluginChild" window
    RECT rect;                   // the item rectangle at the origin
};
static_assert(sizeof(PluginAttachInfo) == 20, "PluginAttachInfo layout");

struct PluginSizeInfo {          // VTM_GETSIZE
    int cx, cy;
    int reserved[4];
};
static_assert(sizeof(PluginSizeInfo) == 24, "PluginSizeInfo layout");

struct PluginPaintInfo {         // VTM_PAINT
    DWORD dc;                    // memory DC
    DWORD bitmap;                // the 32-bit DIB selected into it
    RECT rect;                   // the item rectangle at the origin
    const char* stateName;       // always "Normal"
};
static_assert(sizeof(PluginPaintInfo) == 24 + sizeof(void*), "PluginPaintInfo layout");

struct PluginWindowMessage {     // VTM_WINDOWMESSAGE
    DWORD window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
static_assert(sizeof(PluginWindowMessage) == 8 + 2 * sizeof(void*), "PluginWindowMessage layout");

struct PluginMovedInfo {         // VTM_MOVED
    int width, height;
    int right, bottom;           // item rectangle edges in bar-window coordinates
};
static_assert(sizeof(PluginMovedInfo) == 16, "PluginMovedInfo layout");

struct PluginImageRequest {      // VTHC_LOADIMAGE
    char path[260];
    DWORD image;                 // HBITMAP out; the plug-in owns it
    int width;                   // icon files: the requested size, in
    int height;
    int reserved;                // set to 0 by the host
};
static_assert(sizeof(PluginImageRequest) == 276, "PluginImageRequest layout");

struct PluginSizeRequest {       // VTHC_SETSIZE
    int ignored[2];
    int cx, cy;
    int flags;                   // 0x2 = apply
};
static_assert(sizeof(PluginSizeRequest) == 20, "PluginSizeRequest layout");
constexpr int kPluginSizeApply = 0x2;

#pragma pack(pop)
