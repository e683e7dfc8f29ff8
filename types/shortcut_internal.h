// What the files of the shortcut item share: its registered messages and
// the special folder names.
#pragma once
#include <windows.h>

struct ShortcutMessages {
    UINT BlockCopies;               // "FolderMFU List - BlockCopies"
    UINT UpdatePersonalizedData;    // "UpdatePersonalizedData"
    UINT StopPopupForcedDelay;      // "My WM_STOPPOPUPFORCEDDELAY"
    UINT RecentProgsUpdated;        // "Folder-RecentProgsUpdated"
    UINT PinnedAppsUpdated;         // "Folder-PinnedAppsUpdated" (registered, not sent here)
    UINT ExpandPersonalizedDelay;   // "ExpandPersonalized - Delay"
    UINT RemoveItemDelay;           // "Remove Item Delay"
    UINT VolatileClose;             // "VolitleClose"
    UINT InvokeShortcutCommand;     // "WM_INVOKESHORTCUTCOMMAND"
    UINT FolderMenuExePidl;         // "WM_FOLDERMENUEXEPIDL"
    UINT ResetSorting;              // "FolderAdv - Reset Sorting"
    UINT UpdateSorting;             // "FolderAdv - Update Sorting"
    UINT GetWriteOrderLen;          // "FolderAdv - GetWriteOrderLen"
    UINT WriteOrderData;            // "FolderAdv - WriteOrderdata"
};
const ShortcutMessages& GetShortcutMessages();

// The special folder names in their order; null past the last.
constexpr int kSpecialFolderCount = 21;
const char* SpecialFolderName(int index);

// One of the names that stand for a shell folder ("Programs", "Desktop",
// ...), compared case-insensitively.
bool IsSpecialFolderName(const char* name);
