// CVellumMenuSection_Folder (type "Folder"): a section that fills itself
// with one shortcut entry per item of a source: a folder (a path or a
// special name, read through a CShellFolderMenu), the most-used programs
// or the pinned programs of the registry. The same class is the content of
// every folder popup. Entries are never read from or written to the bar
// file; the user's order of a folder's entries lives in the registry key
// "MenuOrder".
//
//   folder_section.cpp        construction, keys, save, slots, messages, refresh
//   folder_section_fill.cpp   FillFolderItems and its three sources, the expander
//   folder_section_order.cpp  "MenuOrder": load, save, delete, sort
//   folder_page.cpp           page 125
#pragma once
#include <windows.h>
#include "model/vellum_menu_section.h"

class CShellFolderMenu;
class CVellumMenuItem_Shortcut;

constexpr int kFolderTextSize = 262;
constexpr int kFolderRefreshCommand = 1001;
constexpr int kFolderSortByNameCommand = 1002;
constexpr int kFolderSectionIconId = 124;
constexpr int kExpanderBitmapId = 226;
constexpr const char* kMenuOrderKey = "Software\\Vantrell\\Tessellar\\MenuOrder";
constexpr const char* kPinnedListKey = "Software\\Vantrell\\Tessellar\\Recent\\Pinned";

// The special folder names the page offers, in its order.
extern const char* const kFolderSpecialNames[];
extern const int kFolderSpecialNameCount;

class CVellumMenuSection_Folder : public CVellumMenuSection {
public:
    // The bar-file section.
    CVellumMenuSection_Folder(CVellumMenuObject* bar, int sectionNumber);
    // A folder popup over submenu of menu (a reference is taken).
    CVellumMenuSection_Folder(CVellumMenuObject* bar, int sectionNumber, CShellFolderMenu* menu,
                              HMENU submenu, int personalized, int topLevelPrograms);
    ~CVellumMenuSection_Folder() override;

    // ---- virtual operations -------------------------------------------------------------
    int InitSimpleContextMenu(HMENU menu) override;
    int DoCustomContextMenuCommand(int id) override;
    void InitCustomContextMenu(HMENU barMenu, HMENU sectionMenu) override;
    void UnInitCustomContextMenu(HMENU barMenu, HMENU sectionMenu) override;
    int GetCustomSectionName(char* out) override;
    int AllowDrop() override;
    int IsLockedSection() override;
    int AllowEnumItems() override;
    CVellumMenuItem* GUI_CustomEnumItems(int index) override;
    int SaveExternal() override;
    HICON GetCustomIcon() override;
    int UpdateSectionItemDefs() override;
    void Draw(HDC dc, int drawItems, int wholeRun) override;
    void ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    SIZE CalcMinMaxSize(int minimum) override;
    HWND CallConfigDialogEx(HWND parent) override;

    // ---- own operations --------------------------------------------------------------------
    void FillFolderItems();
    void SetFolderByName(const char* name);
    void SetFolderItemIconSize(int size);
    void ExpandPersonalizedMenu();
    void SortFolderByName();
    void SortFolderItems();
    void LoadMenuOrder();
    void SaveMenuOrder();
    void DeleteMenuOrder();
    // out holds kFolderTextSize characters; empty: the list keeps no order.
    void GetMenuOrderValueName(char* out);
    // Null when the key can neither be opened nor created (close it).
    HKEY OpenMenuOrderKey();
    static int CompareFolderItems(CVellumMenuItem* a, CVellumMenuItem* b);
    // "Folder - FullRefresh": the folder read again, order kept.
    void RefreshFolder();
    // Drops every entry and the shell menu; a new shell menu over Folder
    // when asked (the page's change of source).
    void ResetSource(bool makeShellMenu);
    bool IsAutoSizedRecentList() const { return UseRecentList && RecentItemsToList < 1; }

    // ---- fields --------------------------------------------------------------------------------
    BOOL m_personalized;
    BOOL m_expanded;
    BOOL m_topLevelPrograms;
    BOOL m_quickLaunch;
    BOOL HideLinkOverlays;
    BOOL UsePinnedList;
    BOOL UseRecentList;
    int RecentItemsToList;
    SIZE m_lastSize;
    int m_popupIconSize;
    int m_popupText;
    BOOL PopupVolitle;
    char PopupUseAlternateSkin[kFolderTextSize];
    char Folder[kFolderTextSize];
    CShellFolderMenu* m_shellMenu;
    HMENU m_submenu;
    int m_entryIconSize;

private:
    void InitFolderFields();
    void ReadFolderKeys();
    void MakeShellMenu();
    void ReleaseShellMenu();
    CVellumMenuItem_Shortcut* NewEntry();
    bool AppendEntry(CVellumMenuItem_Shortcut* entry);
    void FillFromRecentList();
    void FillFromPinnedList();
    void FillFromFolder();
    void AppendExpander();
    void AddEmptyEntry();
    bool IsBlockedByBar(const char* path);
    void DrawPersonalizedBackground(HDC dc);
    void RefillAutoSized();
};

CVellumMenuSection* MakeFolderSection(CVellumMenuObject* bar, int sectionNumber);

// A record the section hands its entries by pointer: honoured (as an owned
// record) only while the section's own call runs, never from a window message.
class FolderCallRecord {
public:
    explicit FolderCallRecord(const void* record);
    ~FolderCallRecord();
    FolderCallRecord(const FolderCallRecord&) = delete;
    FolderCallRecord& operator=(const FolderCallRecord&) = delete;

private:
    const void* record_;
};

struct FolderSectionMessages {
    UINT ResetSorting;         // "FolderAdv - Reset Sorting"
    UINT UpdateSorting;        // "FolderAdv - Update Sorting"
    UINT GetWriteOrderLen;     // "FolderAdv - GetWriteOrderLen"
    UINT WriteOrderData;       // "FolderAdv - WriteOrderdata"
    UINT FullRefresh;          // "Folder - FullRefresh"
    UINT BlockCopies;          // "FolderMFU List - BlockCopies"
    UINT ExpandDelay;          // "ExpandPersonalized - Delay"
    UINT UpdatePersonalized;   // "UpdatePersonalizedData"
    UINT RecentProgsUpdated;   // "Folder-RecentProgsUpdated"
    UINT PinnedAppsUpdated;    // "Folder-PinnedAppsUpdated"
};
const FolderSectionMessages& GetFolderSectionMessages();
