// CVellumMenuItem_Shortcut (type "Shortcut"): the item that runs something:
// a program with arguments, a document, a web or mail address, a folder, a
// special shell folder by name, the program of a file extension or of an
// "App Paths" entry. A folder target opens as a popup bar of the folder's
// contents. The item offers the shell's context menu of its target, hands
// the shell's data object to a drag, and records each run in the shell's
// usage counts and the program's most-used list. It is a popup item in
// plain mode, so folder popups use the popup item's child-bar machinery.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include "types/popup_item.h"

class CShellFolderMenu;
struct ShellMenuItem;

constexpr int kShortcutTargetSize = 360;
constexpr int kShortcutProgramNameSize = 25;
constexpr int kShortcutExtensionSize = 75;
constexpr int kShortcutStartInSize = 264;
constexpr int kShortcutParametersSize = kShortcutTargetSize;
// Ids of the item menu merged into the shell's context menu.
constexpr int kShortcutRemoveFromListId = 1004;
constexpr int kShortcutRemoveShortcutId = 1005;
constexpr int kShortcutFolderHeaderId = 40068;
constexpr int kShortcutHeaderId = 40142;
constexpr int kShellMenuFirstId = 10;
constexpr int kShellMenuLastId = 1010;

// "Shortcut.RunAs": the show command of a launch.
enum ShortcutRunAs : int { kRunNormal = 0, kRunMinimized = 1, kRunMaximized = 2 };

class CVellumMenuItem_Shortcut : public CVellumMenuItem_Popup {
public:
    // The loader: reads the keys while the bar reads its file, then resolves
    // the target.
    CVellumMenuItem_Shortcut(CVellumMenuObject* bar, CVellumMenuSection* section, int itemNumber);
    // An empty shortcut without keys (folder-section entries, drops, the wizard).
    CVellumMenuItem_Shortcut(CVellumMenuObject* bar, CVellumMenuSection* section);
    ~CVellumMenuItem_Shortcut() override;

    // ---- target -----------------------------------------------------------------------------
    // Resolves the target once; false when nothing was resolved or a target
    // is already set.
    bool SetTarget(const char* title, const char* file, const char* programName,
                   const char* extension);
    void ResetTarget();
    // Binds the item to an entry of a shell folder menu; -1 when the entry has
    // no shell record, 0 when a target is already set, 1 when bound.
    int SetFromShellMenuItem(CShellFolderMenu* menu, HMENU submenu, int position);
    // The shell's context menu of the target (a reference for the caller), or null.
    IContextMenu* GetShellContextMenu(HWND owner);

    // ---- helpers shared with the item's pages ------------------------------------------------
    // Splits command in place after its program part; the rest goes to
    // parameters (both within their sizes).
    static void SplitCommandLine(char* command, size_t commandSize, char* parameters,
                                 size_t parametersSize);
    static bool InvokeDefaultVerb(HWND owner, IShellFolder* folder, LPCITEMIDLIST relative);
    // The text's environment expansion, kept when it fails or does not fit.
    static void ExpandEnvironmentInPlace(char* text, size_t size);
    // The system's menu delay ("MenuShowDelay"), read once; 300 ms when unset.
    static int GetSystemMenuDelay();

    // ---- virtual operations ----------------------------------------------------------------------
    void DragDrop_Dropped(DWORD effect) override;
    IDataObject* GetDragDropDataObject(DWORD* effects) override;
    int TryNoAltDrag() override;
    int DoCustomContextMenuCommand(int id) override;
    HMENU InitCustomContextMenu(HMENU barMenu, HMENU itemMenu) override;
    void UnInitCustomContextMenu(HMENU barMenu, HMENU itemMenu) override;
    HMENU InitContextMenu(HMENU barMenu) override;
    int IsPopup() override;
    int GetPopupDelay() override;
    UINT GetPopupRequiredKeys() override;
    int GetCustomItemName(char* out) override;
    HICON GetCustomIcon() override;
    int UpdateParents(CVellumMenuObject* bar, CVellumMenuSection* section) override;
    int SaveExternal() override;
    void Draw(HDC dc) override;
    SIZE CalcSize(int noSectionStretch, int ignored) override;
    void OnClick() override;
    void OnDblClick() override;
    void OnRClick(int* handled) override;
    void GettingKeyboardFocus() override;
    void ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    int TrackPopupMenu(int byHover) override;
    // The Behavior page (template 129, shortcut_page.cpp).
    HWND CallConfigDialogEx(HWND parent) override;
    HICON IconCallback(int frameOrKind) override;
    // The shortcut's own wizard pages, then the standard ones (shortcut_wizard.cpp).
    int DoNewItemWizzard() override;
    // A copy of the shortcut settings; the copy keeps use popup on (shortcut_duplicate.cpp).
    CVellumMenuItem* Duplicate() override;

    // ---- fields ---------------------------------------------------------------------------------
    char m_target[kShortcutTargetSize];             // "Shortcut.File"
    char m_programName[kShortcutProgramNameSize];   // "Shortcut.GetFromRegistry"
    char m_extension[kShortcutExtensionSize];       // "Shortcut.UseExtention"
    char m_startIn[kShortcutStartInSize];           // "Shortcut.StartIn"
    int RunAs;                                      // "Shortcut.RunAs"
    BOOL IsFolder;                                  // "Folder.IsFolder" (written only)
    BOOL UsePopup;                                  // "Folder.UsePopup"
    BOOL PopupText;                                 // "Folder.PopupText"
    int PopupIconSize;                              // "Folder.PopupIconSize"
    BOOL HideLinkOverlaysFromPopup;                 // "Folder.HideLinkOverlaysFromPopup"

    BOOL m_detectedFolder;
    BOOL m_quickLaunch;
    BOOL m_targetSet;
    BOOL m_personalizedMenus;     // the target is "Programs"
    // The folder section's shell menu entry this item stands for.
    CShellFolderMenu* m_shellMenu;   // one reference held
    HMENU m_shellSubmenu;
    int m_shellPosition;
    ShellMenuItem* m_shellItem;
    HMENU m_folderPopupMenu;
    IContextMenu* m_contextMenu;
    int m_firstShellId, m_lastShellId;
    BOOL m_inFolderSection;
    BOOL m_recordsRecent;
    BOOL m_expander;
    BOOL m_rarelyUsed;
    BOOL m_hiddenByPersonalization;
    BOOL m_personalized;
    BOOL m_noOverlay;
    int m_orderPosition;

private:
    void InitShortcutFields();
    void ReadShortcutKeys();
    bool ResolveAppPath(const char* programName);
    bool ResolveExtension(const char* extension);
    bool DetectFolder() const;
    void TakeTitle(const char* title);
    // The launch and its recording (shortcut_launch.cpp).
    bool Launch(int show);
    void RecordRun();
    void CloseVolatileBars();
    void PostToMainWindow(UINT msg, WPARAM wp, LPARAM lp);
    bool PostShellEntryToMainWindow();
    // The shell binding and menus (shortcut_shell.cpp).
    void ReleaseShellBinding();
    void ReleaseContextMenu();
    bool TargetParentAndChild(IShellFolder** parent, LPITEMIDLIST* child);
    HICON ShellIconOfPidl(LPCITEMIDLIST pidl, bool small, bool indexMode);
    bool OpenFolderPopup(int byHover);
    // The folder messages (shortcut_item.cpp).
    bool HandleFolderMessage(UINT msg, WPARAM wp, LPARAM lp);
    void UpdatePersonalizedData(WPARAM evaluate);
    int OrderEntry(char* out, size_t size) const;
};

CVellumMenuItem* MakeShortcutItem(CVellumMenuObject* bar, CVellumMenuSection* section,
                                  int itemNumber, const char* storedType);
