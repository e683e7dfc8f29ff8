// CVellumMenuItem: one item of a section and the base class of every item
// type. It holds the item's keys of the bar file (read by the loader
// constructor, written by Save), its title with its mnemonic, icons, state
// bitmaps, custom states, the tooltip tool and the hotkey. Clicks and the
// own popup menu are in item_clicks.cpp, the context menu in
// item_context_menu.cpp and item_context_commands.cpp, messages in
// item_messages.cpp and the standard commands in standard_commands*.cpp.
// Copies are in item_copy.cpp, the property pages in item_pages.cpp and the
// new-item wizard in item_wizard.cpp. The operations whose base behaviour is
// to do nothing are in item_defaults.cpp.
#pragma once
#include <windows.h>
#include <objidl.h>
#include <commctrl.h>
#include "model/exports.h"
#include "model/bar_types.h"
#include "util/handles.h"

constexpr int kItemSectionNameSize = 20;
constexpr int kMaxCustomStates = 200;
constexpr int kCustomStateNameSize = 32;
// Entries of an item's own popup menu read from the file.
constexpr int kMaxPopupMenuEntries = 500;
constexpr int kPopupMenuEntryTextSize = 400;
// The page arrays of the new-item wizard hold at most this many pages.
constexpr int kMaxWizardPages = 24;

// An item's bitmap or mask: owned, freed with its item, and duplicated
// (CopyImage) when the item object is copied, so that no two items free
// the same bitmap.
class ItemBitmap : public tess::ScopedBitmap {
public:
    ItemBitmap() noexcept = default;
    explicit ItemBitmap(HBITMAP bitmap) noexcept : tess::ScopedBitmap(bitmap) {}
    ItemBitmap(const ItemBitmap& other) : tess::ScopedBitmap(Duplicate(other.get())) {}
    ItemBitmap& operator=(const ItemBitmap& other) {
        if (this != &other) reset(Duplicate(other.get()));
        return *this;
    }
    ItemBitmap(ItemBitmap&& other) noexcept : tess::ScopedBitmap(other.release()) {}
    ItemBitmap& operator=(ItemBitmap&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

private:
    static HBITMAP Duplicate(HBITMAP bitmap) {
        return bitmap ? static_cast<HBITMAP>(::CopyImage(bitmap, IMAGE_BITMAP, 0, 0,
                                                         LR_CREATEDIBSECTION))
                      : nullptr;
    }
};

// The custom states of an item, packed from the front: names and bitmap
// paths (heap strings), and the bitmaps and masks loaded from them.
struct ItemCustomStates {
    int count;
    char* names[kMaxCustomStates];
    char* paths[kMaxCustomStates];
    ItemBitmap bitmaps[kMaxCustomStates];
    ItemBitmap masks[kMaxCustomStates];
};

// A heap copy of text (empty for null) with 5 bytes to spare, as items keep
// their titles and paths; freed with delete[].
char* NewItemText(const char* text);

class TESS_EXPORT CVellumMenuItem {
public:
    // An item made by the program (not read from a bar file).
    CVellumMenuItem(CVellumMenuObject* bar, CVellumMenuSection* section, char* title);
    // The loader: reads Item<n>. keys from the bar's section reader while the
    // bar reads its file. With a parent menu the item is one entry of another
    // item's popup menu: it appends itself there and its creator deletes it.
    CVellumMenuItem(CVellumMenuObject* bar, CVellumMenuSection* section, int itemNumber,
                    HMENU parentMenu, int parentNumber);
    // A blank item: defaults only; its destructor releases nothing.
    explicit CVellumMenuItem(void* blank);

    // ---- virtual operations, in table order --------------------------------------
    virtual void DragDrop_Dropped(DWORD effect);
    virtual IDataObject* GetDragDropDataObject(DWORD* effects);
    virtual int TryNoAltDrag();
    virtual int DoCustomContextMenuCommand(int id);
    virtual HMENU InitCustomContextMenu(HMENU barMenu, HMENU itemMenu);
    virtual void UnInitCustomContextMenu(HMENU barMenu, HMENU itemMenu);
    virtual HMENU InitContextMenu(HMENU barMenu);
    virtual void UnInitContextMenu();
    virtual int DoContextMenuCommand(int id);
    virtual int InitSimpleContextMenu(HMENU menu);
    virtual ~CVellumMenuItem();
    virtual void DragHover();
    virtual CVellumMenuObject* GetChildObject();
    virtual int DoNewItemWizzard();
    virtual CVellumMenuItem* Duplicate();
    virtual int IsPopup();
    virtual int GetPopupDelay();
    virtual UINT GetPopupRequiredKeys();
    virtual void UpdateHiddenPopup();
    virtual int GetCustomItemName(char* out);
    virtual CVellumMenuSection* CreatePopupSection(CVellumMenuObject* childBar, int* ignored);
    virtual void PrePopup(CVellumMenuObject* childBar);
    virtual HICON GetCustomIcon();
    virtual int UpdateParents(CVellumMenuObject* bar, CVellumMenuSection* section);
    virtual int ExecuteStandardCommand(int set, int command, char* name, char* setKey);
    virtual int Save(int itemNumber);
    virtual int SaveExternal();
    virtual void Draw(HDC dc);
    virtual SIZE CalcSize(int noSectionStretch, int ignored);
    virtual void OnClick();
    virtual void OnDblClick();
    virtual void OnRClick(int* handled);
    virtual void GettingKeyboardFocus();
    virtual void SetItemTitle(char* title, int headerLength);
    virtual void ProcessMenuMessage(UINT msg, WPARAM wp, LPARAM lp);
    virtual void ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp);
    virtual int TrackPopupMenuDoubleClick();
    virtual int TrackPopupMenu(int byKeyboard);
    virtual void InitMenu(HMENU menu);
    virtual void UnInitMenu(HMENU menu);
    virtual HMENU GetPopupMenu();
    virtual void SetState(UINT state, int keep);
    virtual HICON IconCallback(int frameOrKind);
    virtual int PreventEditExtraStates();
    virtual HWND CallConfigDialogEx(HWND parent);

    // ---- keys, names, parents (item_keys.cpp) ----------------------------------------
    void GetRealItemRect(RECT* out);
    int UpdateTooltips(int keepRectangle);
    void UpdateHotkey(int unregisterOnly);
    int DisplayError(char* text);

    // ---- icons, bitmaps and custom states (item_images.cpp) ----------------------------
    int RefreshIcon();
    // Icons 1 and 2 take the given ones (the same one twice is duplicated);
    // previous icons the item owned are destroyed, lent ones are left alone.
    // Without arguments it empties both.
    void ReplaceIcons(tess::ScopedIcon icon1 = {}, tess::ScopedIcon icon2 = {});
    int FreeBitmaps();
    int RefreshBitmaps();
    // At most 200 states; a further one is refused (0).
    int AddCustomState(char* name, char* bitmapPath);
    int FindCustomState(char* name, HBITMAP* bitmap, HBITMAP* mask);
    int EditCustomState(char* name, char* bitmapPath);
    int RemoveCustomState(char* name);
    // which 1: Icon, 2: Icon2; a null path empties it.
    void SetIconPath(int which, char* path);
    // which 1: NormalBitmap, 2: MouseoverBitmap, 3: SelectedBitmap.
    void SetBitmapPath(int which, char* path);
    HBITMAP MyLoadImage(char* path);
    void UpdateImagePath(char* path, int toBarFolder);
    // Replaces the normal state bitmap and its mask by copies (scroll arrows);
    // with makeMask and no mask, a grey-keyed mask is made.
    void SetBitmap(HBITMAP bitmap, HBITMAP mask, int makeMask, DWORD ignored, int ignored2);
    // Rewrites a bitmap path for a change of storage mode: relative to the
    // skin folder under PathRelativeToSkin, else (makeAbsolute) below the bar
    // folder. path is one of the item's three bitmap paths (replaced through
    // SetBitmapPath, as the result may be longer) or a caller's buffer of
    // MAX_PATH characters.
    void SwitchOverBitmapPath(char* path, int makeAbsolute);
    // 0 when the item's last size was empty; else 1 when it has no place in
    // the layout (left out or scrolled away).
    int IsItemHiddenNeedsScrolling();
    // The cursor lies on the item's rectangle in its bar window.
    int IsMouseReallyOver();

    // ---- linked popup placement (item_layer_placement.cpp) --------------------------------
    // Moves the bars of a layer (or with -1 the item's listed bars) beside the
    // item; direction 1..8 chooses a side, 9 centres them, else automatic.
    void PlaceLayerBesideItem(int layer, int direction);

    // ---- property pages (item_pages.cpp) ---------------------------------------------------
    // The Display page (template by display mode), created once as a child
    // of parent; the page already open while it is a window.
    HWND CallConfigDialog(HWND parent);
    // The Hotkey page, created once.
    HWND CallConfigDialogHotkey(HWND parent);
    // Rebuilds the Display page for the current display mode; with focus the
    // new page's display combo takes the focus. 0 without a Display page.
    int RefreshVisiblePropPage(int focus);
    // Fills combo with the built-in commands of set (below 0: the item's
    // ActionClass), command numbers as item data; selects selectCommand's
    // entry, else the first. Always 1.
    int SetupActionsCombobox(HWND combo, int selectCommand, int set);
    // The skin element the item is drawn with; frameOut (may be null) gets
    // its animation frame (item_drawing.cpp).
    unsigned GetDrawState(int* frameOut);

    // ---- copies (item_copy.cpp) ------------------------------------------------------------
    // Gives target this item's settings, menu, title and custom states; with
    // keepAction the target keeps its own Action and ActionClass. 0 for null.
    int Copy(CVellumMenuItem* target, int keepAction);

    // ---- the new-item wizard (item_wizard.cpp) ------------------------------------------
    // Appends the standard wizard pages (title, display, icons, bitmaps,
    // closing page) to pages (kMaxWizardPages), advancing index past the last
    // one stored.
    void AddStandardWizzardPages(HPROPSHEETPAGE* pages, int* index);

    // ---- calls into work that arrives later ----------------------------------------
    void UpdateTextSize(int force);
    // The icon to draw now; sets the icon-beside-text flag (item_drawing.cpp).
    HICON UpdateDrawingTypes();
    // Redraws the item, or its whole section while the section's drop mark shows.
    void RedrawItem(int ignored = 0);
    void SetEditorNodeTitle();
    void StopStateAnimation();

    // Copies every field unchanged, pointers included, except that bitmaps
    // and masks are duplicated; exported for plug-ins, unused by the program.
    CVellumMenuItem(const CVellumMenuItem& other);
    CVellumMenuItem& operator=(const CVellumMenuItem& other);

protected:
    // Item key name: [Item<parent>.]Item<n>.[keyName].
    void BuildString(char* out, char* keyName);

public:
    // ---- fields, in declared order --------------------------------------------------
    int TextOnlyAlign;
    BOOL m_literalTitle;
    int m_mnemonic;
    BOOL m_moving;
    RECT m_transitionStart, m_transitionEnd, m_drawnRect;
    BOOL PathRelativeToSkin;
    int m_headerLength;
    HMENU m_contextSubmenu;
    int m_parentItemNumber;
    BOOL RespondToWindowsKey;
    int vkHotkey, vkHotkeyModifiers;
    WORD m_hotkeyId;
    BOOL m_tooltipNeeded;
    HIMAGELIST m_imageList;
    int m_imageIndex;
    BOOL IsSectionAnchor;
    BOOL m_arrowItem;
    int IconSize;
    BOOL m_disabled;
    BOOL Separator;
    BOOL m_emptySize;
    BOOL m_valid;
    BOOL m_blank;
    HMENU m_popupMenu;
    RECT m_itemRect;
    char* m_title;
    char* m_shownTitle;
    int Action;
    int ActionClass;
    int iLayerToActOn;
    BOOL bAttachLayer;
    BOOL UseActiveIcon, UseActiveText;
    int m_textAlignment;
    BOOL m_iconBesideText;
    SIZE m_textExtent;
    HFONT m_measuredFont;
    char* Icon;
    int IconIndex;
    tess::HeldIcon m_icon1;   // an icon lent by a window is not destroyed
    char* Icon2;
    int IconIndex2;
    tess::HeldIcon m_icon2;
    BOOL m_iconOnDemand;
    BOOL m_iconAsked;
    SIZE m_naturalSize;
    COLORREF m_bitmapKeyColor;
    BITMAP m_bitmapInfo;
    BOOL UseTransparency;
    BOOL ShowSkinBehindBitmap;
    ItemBitmap m_normalBitmap, m_normalMask;
    unsigned long* m_normalBits;
    ItemBitmap m_selectedBitmap, m_selectedMask;
    unsigned long* m_selectedBits;
    ItemBitmap m_mouseOverBitmap, m_mouseOverMask;
    unsigned long* m_mouseOverBits;
    int BitmapAlign;
    char* NormalBitmap;
    char* MouseoverBitmap;
    char* SelectedBitmap;
    BOOL ShowIcon, ShowText, DisplayAsBitmap;
    LONG_PTR m_typeWord;
    CVellumMenuObject* m_pBar;
    CVellumMenuSection* m_pSection;
    ItemCustomStates m_customStates;
    char m_customState[kCustomStateNameSize];
    UINT m_state;
    int m_itemNumber;
    int m_lastPage;
    HWND m_pages[3];
    SkinRecord** m_skinSlot;
    char m_sectionName[kItemSectionNameSize];
    // Set when the new-item wizard was finished; cleared when its pages are built.
    int WizardDoneFlag;
    int m_drawnElement, m_frame;

private:
    void InitStrings();
    void ReadKeys(HMENU parentMenu);
    void ReadPopupMenuEntries();
    void ReadImageKeys();
    // Copy's first step: display settings, paths, parents.
    void CopyDisplaySettingsTo(CVellumMenuItem* target) const;
    // Loads custom state index from its path, with its mask.
    void LoadCustomStateBitmap(int index);
    void WriteKey(const char* key, const char* value);
    void WriteInt(const char* key, int value);
    void AddTooltipTool();
    void DeleteTooltipTool();

    // ---- context menu and its commands (item_context_menu.cpp, item_context_commands.cpp)
    void MarkAppearance(HMENU appearance);
    // The bar marked modified, laid out, redrawn and placed again; 1.
    int UpdateBarAfterMenu();
    int SetIconSizeFromMenu(int size);
    int AskCustomIconSize();
    void ReloadImagesAfterMenu();
    int ShowAsFromMenu(int id);
    int ShowAsBitmapFromMenu();
    int ShowAsSeparatorFromMenu();
    void EditBarSkin();
    int DuplicateFromMenu();
    int CloseBarFromMenu();

    // ---- messages (item_messages.cpp) --------------------------------------------------
    void OnSkinChanging(WPARAM wp);
    // The Windows key or the item's hotkey: its bar forward, then the item runs.
    void ActivateFromKey();
    void OnActiveWindowNews(WPARAM wp);
};
