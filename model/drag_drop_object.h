// CVellumDragDropObject: OLE drag and drop of items, sections and new items,
// and the drop of files from the shell. One object is at once the data
// object, the drop source and the drop target. An internal drag carries no
// data: the object itself remembers what is dragged.
//
// Bar mode (the program-wide object, GetDragDropObject) is registered on every
// bar window; tree mode serves one tree-view window (the theme editor's tree),
// whose nodes carry a bar (depth 0), section (1) or item (2) pointer.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <commctrl.h>
#include "model/exports.h"
#include "model/bar_types.h"

// The palette kinds of new items (the ids of the palette's buttons).
enum NewItemKind : int {
    kNewDefaultItem = 1255,
    kNewShortcutItem = 1256,
    kNewPopupItem = 1257,
    kNewClockItem = 1258,
    kNewSeparator = 1134,
};

// The insertion point "in front of the first item".
inline CVellumMenuItem* FrontOfSection() { return reinterpret_cast<CVellumMenuItem*>(-1); }

constexpr UINT_PTR kDragHoverTimer = 3974;
constexpr UINT kDragHoverDelay = 1500;
// A dropped file name is read into this many characters, terminator included.
constexpr int kDroppedNameSize = 269;

class TESS_EXPORT CVellumDragDropObject : public IDataObject, public IDropSource, public IDropTarget {
public:
    explicit CVellumDragDropObject(int singleWindow);
    virtual ~CVellumDragDropObject();

    void Register(HWND wnd);
    void Revoke(HWND wnd);

    // ---- IUnknown (never deletes the object) ----------------------------------------------
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // ---- IDataObject: an internal drag carries no data ------------------------------------
    STDMETHODIMP GetData(FORMATETC*, STGMEDIUM*) override;
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override;
    STDMETHODIMP QueryGetData(FORMATETC*) override;
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override;
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override;
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override;
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override;
    STDMETHODIMP DUnadvise(DWORD) override;
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override;

    // ---- IDropSource -----------------------------------------------------------------------
    STDMETHODIMP QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    STDMETHODIMP GiveFeedback(DWORD effect) override;

    // ---- IDropTarget (drag_drop_object.cpp; Drop in drag_drop_drop.cpp) --------------------
    STDMETHODIMP DragEnter(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override;
    STDMETHODIMP DragOver(DWORD keys, POINTL pt, DWORD* effect) override;
    STDMETHODIMP DragLeave() override;
    STDMETHODIMP Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override;

    // ---- starting drags ---------------------------------------------------------------------
    // An item (bars and tree) or a section (tree only); 1 after the drag ended.
    int DoDragDrop(CVellumMenuItem* item);
    int DoDragDrop(CVellumMenuSection* section);
    // A palette drag of a new item of kind (NewItemKind); bar mode only.
    int DoDragDrop(int argument, int kind);

    // ---- hit tests ---------------------------------------------------------------------------
    HTREEITEM HitTest(POINTL pt);
    // The section under the screen point on a bar, with the insertion point
    // and the item under the point (either out may be null).
    CVellumMenuSection* HitTestReal(POINTL pt, CVellumMenuItem** insertAfter,
                                    CVellumMenuItem** hovered);
    CVellumMenuSection* GetSection(HTREEITEM node);
    CVellumMenuItem* GetItem(HTREEITEM node);
    CVellumMenuObject* GetObjectA(HTREEITEM node);

    int SetHilight(CVellumMenuItem* insertAfter, CVellumMenuSection* section);
    void SetHoverTimer(CVellumMenuItem* item);
    void HoverTimer();
    int IsInInternalDragDrop() const { return m_internalDrag; }
    CVellumMenuItem* GetDragItem() const { return m_dragItem; }

    // ---- fields, in declared order ------------------------------------------------------------
    CVellumMenuSection* m_targetSection;
    CVellumMenuItem* m_insertAfter;
    BOOL m_paletteDrag;
    int m_newItemKind;
    CVellumMenuItem* m_hoveredItem;
    LONG m_refCount;
    HWND m_targetWindow;
    BOOL m_internalDrag;
    CVellumMenuItem* m_dragItem;
    CVellumMenuSection* m_dragSection;
    BOOL m_singleWindow;
    BOOL m_refuseDrop;

private:
    int DoDragDrop(CVellumMenuItem* item, CVellumMenuSection* section);
    // The effect the drop over pt would have, with its target; none when refused.
    DWORD EffectAt(POINTL pt, DWORD allowed, CVellumMenuSection** section,
                   CVellumMenuItem** insertAfter, HTREEITEM* node);
    DWORD BarEffect(CVellumMenuSection* section, DWORD allowed);
    bool TreeNodeAccepts(HTREEITEM node);
    void RemoveMarks();
    void CancelHoverTimer();
    // Drop steps (drag_drop_drop.cpp).
    void DropItem(CVellumMenuObject* bar, CVellumMenuSection* section);
    void DropSection(CVellumMenuObject* bar, CVellumMenuSection* after);
    void DropPaletteItem(CVellumMenuObject* bar, CVellumMenuSection* section);
    void DropFiles(IDataObject* data, CVellumMenuObject* bar, CVellumMenuSection* section);
    void Relayout(CVellumMenuObject* lost, CVellumMenuSection* lostSection,
                  CVellumMenuObject* gained, CVellumMenuSection* gainedSection, bool onDisk);
};

// The program-wide object that every bar registers as its drop target.
CVellumDragDropObject* GetDragDropObject();
// Tree node depth: 0 bar, 1 section, 2 item; -1 for none.
int TreeNodeDepth(HWND tree, HTREEITEM node);
