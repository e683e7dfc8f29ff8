// CVellumMenuSection: one section of a bar, the owner of up to 500 items in
// display order and the base class of every section type. This holds the
// item list, the parents, the hit tests, the section keys of the bar file
// and the item factory; layout, drawing and input are built elsewhere, and
// until then the operations that need them do nothing and say so.
#pragma once
#include <windows.h>
#include "model/exports.h"
#include "model/bar_types.h"

struct ARROWBITMAPSETS;

constexpr int kSectionTitleSize = 1000;
constexpr int kSectionNameSize = 500;

class TESS_EXPORT CVellumMenuSection {
public:
    // sectionNumber k names the bar file's [Section<k>]; -1 for child bars.
    CVellumMenuSection(CVellumMenuObject* bar, int sectionNumber, int loadItems);

    // ---- virtual operations, in table order -------------------------------------
    virtual int InitSimpleContextMenu(HMENU menu);
    virtual int DoCustomContextMenuCommand(int id);
    virtual void InitCustomContextMenu(HMENU barMenu, HMENU sectionMenu);
    virtual void UnInitCustomContextMenu(HMENU barMenu, HMENU sectionMenu);
    virtual HMENU InitContextMenu(HMENU barMenu);
    virtual ~CVellumMenuSection();
    virtual int GetCustomSectionName(char* out);
    virtual int AllowDrop();
    virtual int IsLockedSection();
    virtual int AllowEnumItems();
    virtual CVellumMenuItem* GUI_CustomEnumItems(int index);
    virtual int SetHidden(int hidden);
    virtual int SaveExternal();
    virtual HICON GetCustomIcon();
    virtual int UpdateSectionItemDefs();
    virtual void Draw(HDC dc, int drawItems, int wholeRun);
    virtual void ProcessMouseMessage(UINT msg, WPARAM wp, LPARAM lp, POINT pt, int* handled);
    virtual void ProcessMenuMessage(UINT msg, WPARAM wp, LPARAM lp);
    virtual void ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp);
    virtual SIZE CalcIdealSize();
    virtual int RecalcRectsFlexible();
    virtual int SetWidth(int width);
    virtual SIZE CalcMinMaxSize(int minimum);
    virtual int SetSectionRect(int x, int y, int cx, int cy, int swap);
    virtual HWND CallConfigDialogEx(HWND parent);

    // ---- keys and the item factory (section_keys.cpp) ---------------------------------
    // queryOnly: the name of item type n into typeName (1), 0 for an unknown
    // n or no buffer. Otherwise a new item of the named type in the first free
    // slot: its index, or -1 when the section is full.
    int AddItem(char* typeName, int n, int queryOnly);
    int Save(int sectionNumber);
    void BuildItemString(char* prefix, char* out, int n, char* keyName);
    int TransformItem(CVellumMenuItem** slot, CVellumMenuItem* newItem);

    // ---- items ----------------------------------------------------------------------
    int UpdateParents(CVellumMenuObject* bar);
    void RemoveItem(int index, int deleteIt);
    void RemoveItem(CVellumMenuItem* item, int deleteIt);
    // False when the section is full or the item is null.
    bool InsertItem(int index, CVellumMenuItem* item);
    bool InsertItem(CVellumMenuItem* after, CVellumMenuItem* item);
    int GetNumOfItems() const;
    int FindItem(const CVellumMenuItem* item) const;
    CVellumMenuItem* GetPreviousItem(CVellumMenuItem* item);
    CVellumMenuItem* GetNextItem(CVellumMenuItem* item);
    int UpdateTooltips();
    // The item (or scroll arrow) whose bar-window rectangle holds pt.
    CVellumMenuItem* HitTestItems(POINT pt);
    CVellumMenuItem* HitTestSection(POINT pt);
    void* HitTest();

    // ---- layout (section_layout.cpp) ------------------------------------------------
    // The size the bar gives the section: its ideal size, or its user width
    // along the bar; (0, 0) when hidden.
    SIZE CalcSize();
    void UpdateThisSectionBuffer();
    int CalcTitleRect(int x, int y);
    int RecalcRectsStandard();
    int RecalcRectsStandard_Max();
    int RecalcRectsMultiRowsCols();
    int RecalcRectsMultiRowsColsNew();
    int AdjustArrows(RECT* margins, int measureOnly, int noVisibilityRules);
    int SetArrowPosition(CVellumMenuItem* arrow, ARROWBITMAPSETS* horizontalSet,
                         ARROWBITMAPSETS* verticalSet, int left, int top, int right, int bottom,
                         RECT* margins, int grayed, int horizontalStyle, int measureOnly);
    int IsArrowLeftAligned(CVellumMenuItem* arrow, ARROWBITMAPSETS* horizontalSet,
                           ARROWBITMAPSETS* verticalSet, int horizontalStyle);
    // Steps of the layouts above.
    void LayOutOneLine();
    bool PlaceLinePass(const RECT& arrows);
    bool PlaceRowsPass(const RECT& arrows, int rows, int* lines_used);
    int LayOutRowsOrGrid();

    // ---- drawing and input (section_input.cpp, section_input_drawing.cpp) ----------------
    // Redraws the outer rectangle through the bar; 0 when hidden, loading or
    // not visible.
    int RedrawSection();
    // The insertion mark of a drag, straight on the bar window.
    void UpdateInvertRect();
    void GetGripRect(RECT* out);
    int IsInGripSection(POINT pt);
    void SetLastGripPoint(POINT pt);
    void GetLastGripPoint(POINT* out);
    // Scroll one item back / forward; 0 when the arrow is grayed or at the end.
    int ArrowL(int redraw);
    int ArrowR(int redraw);
    int DragDetectAtCursor(HWND wnd, int unused1, int unused2);

    // ---- context menu (section_context_menu.cpp) -----------------------------------------
    // The section header line is cleared, the custom part and the bar's part
    // undone and the context submenu destroyed.
    // ---- property pages (object_pages.cpp): each is made once, as a child of parent ----
    HWND CallConfigDialog(HWND parent);
    HWND CallConfigDialog2(HWND parent);
    HWND CallConfigDialogExtra(HWND parent);

    // ---- calls into work that arrives later --------------------------------------------
    void UnInitContextMenu();
    // A "Section Options" command; 0 for ids that are not the section's.
    int DoContextMenuCommand(int id);

    // ---- transitions (section_transitions.cpp) -------------------------------------------
    // A type calls MarkStartTransition before it changes its items, lays the
    // section out, calls MarkEndTransition, then StartTransition: the items
    // then move from their old rectangles to their new ones in 10 steps.
    void MarkStartTransition();
    void MarkEndTransition();
    void StartTransition();
    void EndTransition();
    // One step, on every tick of the section's transition timer.
    void UpdateTransitions(UINT_PTR timer_id);

    // Copies every field unchanged, handles and pointers included; exported
    // for plug-ins, unused by the program.
    CVellumMenuSection(const CVellumMenuSection& other);
    CVellumMenuSection& operator=(const CVellumMenuSection& other);

protected:
    // "Section" + number + suffix.
    void BuildString(char* out, char* suffix);

public:

    // ---- fields, in declared order -------------------------------------------------------
    BOOL m_dropMarkShown;
    RECT m_dropMark;
    BOOL AlwaysShowPopupArrows;
    BOOL m_transitionRunning;
    int m_transitionStep, m_transitionSteps;
    UINT m_transitionTimerId;
    void* m_hiddenItemsMenu;   // CIconMenu* while the hidden-items menu is open
    HMENU m_hiddenItemsMenuHandle;
    BOOL m_restyle;
    HMENU m_contextSubmenu;
    RECT m_margins;
    BOOL CenterItems;
    BOOL m_orderChanged;
    int iSectionSkin;
    BOOL bCombineSkin;
    BOOL ShowIconsByDef, ShowTextByDef;
    int DefaultIconSize;
    BOOL IsHidden;
    BOOL m_isHiddenAsRead;
    BOOL MaxmizeItems;
    POINT m_gripPoint;
    int m_rows;
    BOOL AllowMultipleRowsCols;
    BOOL m_valid;
    int m_userWidth;
    BOOL bResizable;
    int MinItemWidth;
    int m_minItemHeight;
    int MaxItemWidth;
    int m_maxItemHeight;
    BOOL EqualWidths;
    BOOL ShowUnneededArrows;
    BOOL bAllowShowingOfLeftGrayedArrow;
    int MinItems, MaxItems;
    BOOL UseTightItemWidthBuffer;
    BOOL UseSectionSkinning;
    BOOL SwapVertArrowStyle, SwapHorzArrowStyle;
    int m_sectionNumber;
    BOOL m_titleVisible;
    char Title[kSectionTitleSize];
    RECT m_titleRect;
    CVellumMenuItem* m_items[kMaxItems];
    int m_lastPage;
    HWND m_pages[4];
    CVellumMenuObject* m_pBar;
    BOOL UseDownArrow;
    SkinRecord** m_skinSlot;
    int m_firstShownItem;
    RECT m_outerRect;
    RECT m_innerRect;
    CVellumMenuItem* m_leftArrow;
    CVellumMenuItem* m_rightArrow;
    CVellumMenuItem* m_downArrow;
    RECT m_arrowMargins;
    char m_iniSectionName[kSectionNameSize];

private:
    void ReadKeys();
    void ReadItems();
    void KeepKeysTheReaderCouldNotHold();
    void MakeArrowItems();
};
