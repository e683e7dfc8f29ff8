// Popup menus with a 16 x 16 icon beside each entry: CIconMenu owns the menu
// and one IconMenuItemData per entry, draws the icons by subclassing the
// window that owns the menu, sorts entries and routes chosen ids back.
// CWindowListMenu lists the open top-level windows with hide and show
// commands; CShellFolderMenu shows the contents of shell folders with
// submenus filled when first opened.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <commctrl.h>

// ---- records -------------------------------------------------------------------------
struct IconMenuItemData {
    int image_index;    // system small image-list index, -1 = none
    HICON icon;         // owned: destroyed when the menu is freed
    int has_submenu;    // an empty popup is attached to the entry when set
    void* payload;      // the subclass's
};

struct MenuSortEntry {
    char text[200];
    UINT id;
    int has_submenu;
    IconMenuItemData* data;
    HBITMAP bitmap;
};

class CIconMenu;
typedef void (*IconFetchCallback)(CIconMenu* menu, IconMenuItemData* data);
typedef void (*ItemDataFreeCallback)(CIconMenu* menu, IconMenuItemData* data);
// qsort comparator over MenuSortEntry records.
typedef int(__cdecl* MenuSortCompare)(const void* a, const void* b);

// 0 Windows 95, 1 Windows 98/ME, 2 NT 4 or older, 3 NT 5 or later.
int GetMenuVersionClass();
// SendMessageTimeout's message result, 0 on failure or time-out.
LRESULT SendMessageTimeoutResult(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT flags,
                                 UINT timeout_ms);

// ---- CIconMenu -------------------------------------------------------------------------
class CIconMenu {
public:
    static constexpr const char* kProcProperty = "lpwpWndProc - CIconMenu";
    static constexpr const char* kMenuProperty = "lpCIconMenu!";

    CIconMenu();
    explicit CIconMenu(int first_command_id);
    virtual ~CIconMenu();
    CIconMenu(const CIconMenu&) = delete;
    CIconMenu& operator=(const CIconMenu&) = delete;

    int AddRef();
    int Release();

    int AttachToWindow(HWND wnd);
    int DetachFromWindow();
    HWND GetOwnerWindow() const { return owner_; }
    static LRESULT CALLBACK IconMenuWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

    void SetCallbacks(IconFetchCallback fetch, ItemDataFreeCallback free_data,
                      MenuSortCompare compare);
    HMENU GetMenu() const { return menu_; }
    int GetFirstCommandId() const { return first_id_; }
    int GetItemCounter() const { return counter_; }
    int GetVersionClass() const { return version_class_; }

    // The entry's data is a copy of the template (or empty) and owns its icon:
    // when the append fails the icon is destroyed with it and 0 returned.
    int AppendItem(const char* text, const IconMenuItemData* item_template);
    int AppendItemToMenu(HMENU menu, const char* text, const IconMenuItemData* item_template);
    void Reset();
    void FreeMenu(HMENU menu);
    // Sorts the entries at positions after + 1 .. last (-1: to the end).
    int SortItems(HMENU menu, int after, int last);
    IconMenuItemData* FindItemData(HMENU menu, UINT_PTR id_or_position_or_submenu, bool by_position,
                                   bool by_submenu);

    int DrawItem(DRAWITEMSTRUCT* draw);
    int MeasureItem(MEASUREITEMSTRUCT* measure);
    HIMAGELIST GetSystemImageList();

    virtual int HandleCommand(int command_id);

protected:
    UINT MenuItemInfoSize() const;
    bool UsesCallbackBitmaps() const { return version_class_ == 1 || version_class_ == 3; }
    void FreeEntries(HMENU menu);

    int refs_ = 1;
    HWND owner_ = nullptr;
    int version_class_ = 0;
    int counter_ = 0;
    int first_id_ = 1;
    IconFetchCallback fetch_ = nullptr;
    ItemDataFreeCallback free_ = nullptr;
    MenuSortCompare compare_ = nullptr;
    HIMAGELIST system_images_ = nullptr;
    HMENU menu_ = nullptr;
};

int __cdecl CompareMenuTextNoCase(const void* a, const void* b);
int __cdecl CompareWindowTitlesNoCase(const void* a, const void* b);

// ---- CWindowListMenu ---------------------------------------------------------------------
class CWindowListMenu : public CIconMenu {
public:
    explicit CWindowListMenu(int first_command_id);

    int Fill(HWND owner);
    int AddWindow(HWND wnd);
    static HICON GetWindowIcon(HWND wnd);
    int HandleCommand(int command_id) override;
    HWND GetHideTarget() const { return hide_target_; }

private:
    HWND hide_target_ = nullptr;
};

BOOL CALLBACK ListWindowsEnumProc(HWND wnd, LPARAM menu);
BOOL CALLBACK ShowHideWindowsEnumProc(HWND wnd, LPARAM target);

// ---- CShellFolderMenu ---------------------------------------------------------------------
struct ShellMenuItem {
    IShellFolder* parent;          // not owned
    IShellFolder* folder;          // owned, when the entry is a folder
    LPITEMIDLIST relative;         // owned
    LPITEMIDLIST absolute;         // owned
    IShellFolder* merged_folder;   // owned: a same-named entry of the secondary folder
    LPITEMIDLIST merged_relative;  // owned
    LPITEMIDLIST merged_absolute;  // owned
    int filled;
    int outside_file_system;
    char drive_letter;
};

class CShellFolderMenu : public CIconMenu {
public:
    explicit CShellFolderMenu(int first_command_id);
    ~CShellFolderMenu() override;

    bool SetFolder(const char* name_or_path);
    void SetPrimaryFolder(IShellFolder* folder, LPITEMIDLIST absolute);
    void SetSecondaryFolder(IShellFolder* folder, LPITEMIDLIST absolute);
    bool SetProgramsFolders();
    int Fill();
    int FillFromFolders(HMENU menu, IShellFolder* folder1, LPCITEMIDLIST list1,
                        IShellFolder* folder2, LPCITEMIDLIST list2);
    int OnInitMenuPopup(HMENU popup);
    int HandleCommand(int command_id) override;
    HMENU FindParentMenu(HMENU menu, HMENU popup, int* position);
    ShellMenuItem* FindItemByName(HMENU menu, const char* text, bool want_submenu);
    // The absolute list of the folder SetFolder chose (the user's one for
    // "Programs"); owned by the menu, null before SetFolder.
    LPCITEMIDLIST GetPrimaryList() const { return primary_list_; }
    // The folders behind the top menu (not AddRef'd; null when unset).
    IShellFolder* GetPrimaryFolder() const { return primary_; }
    IShellFolder* GetSecondaryFolder() const { return secondary_; }
    LPCITEMIDLIST GetSecondaryList() const { return secondary_list_; }

private:
    int FillFromOneFolder(HMENU menu, IShellFolder* folder, LPCITEMIDLIST list, bool merge);

    IShellFolder* primary_ = nullptr;
    LPITEMIDLIST primary_list_ = nullptr;
    IShellFolder* secondary_ = nullptr;
    LPITEMIDLIST secondary_list_ = nullptr;
};

void FetchShellItemIcon(CIconMenu* menu, IconMenuItemData* data);
void FreeShellItemData(CIconMenu* menu, IconMenuItemData* data);
int __cdecl CompareShellItems(const void* a, const void* b);
// Runs the default entry of the item's context menu. 0 when there is no
// context menu or no default entry.
int InvokeDefaultVerb(HWND owner, IShellFolder* parent, LPCITEMIDLIST relative);
