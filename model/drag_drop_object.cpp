// The drag-and-drop object: COM plumbing, starting drags, following the
// pointer over bars and the tree, the hover timer and the drop mark. The drop
// itself is in drag_drop_drop.cpp.
#include "model/drag_drop_object.h"
#include <shellapi.h>
#include "model/drag_drop_calls.h"
#include "model/drag_drop_internal.h"
#include "model/live_objects.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "util/bar_registry.h"
#include "util/callback_guard.h"
#include "util/text.h"

namespace {

// Set by every drop of the program's own targets during a drag, so that the
// source knows whether the drag ended outside the program.
bool g_droppedHere = false;
// The object whose hover timer runs, and the timer's id (a thread timer's id
// is chosen by the system).
CVellumDragDropObject* g_hoverOwner = nullptr;
UINT_PTR g_hoverTimer = 0;
HWND g_hoverWindow = nullptr;

void CALLBACK DragHoverTimerProc(HWND wnd, UINT, UINT_PTR id, DWORD) {
    tess::GuardTimerProc([&] {
        ::KillTimer(wnd, id);
        if (id != g_hoverTimer) return;
        g_hoverTimer = 0;
        CVellumDragDropObject* owner = g_hoverOwner;
        g_hoverOwner = nullptr;
        if (owner) owner->HoverTimer();
    });
}

bool SectionNameIs(CVellumMenuSection* section, const char* name) {
    // Section types write their name without a size: leave them ample room.
    char text[1024] = "";
    section->GetCustomSectionName(text);
    text[sizeof(text) - 1] = '\0';
    return lstrcmpA(text, name) == 0;
}

}  // namespace

void SetDroppedHere() { g_droppedHere = true; }

bool IsFileDropSection(CVellumMenuSection* section, bool* folder) {
    bool isFolder = SectionNameIs(section, "Folder");
    if (folder) *folder = isFolder;
    return isFolder || SectionNameIs(section, "Default");
}

DropItemCalls& GetDropItemCalls() {
    // Zero-initialised before any constructor runs, so the types layer can
    // fill it from its own static constructors in any order.
    static DropItemCalls calls;
    return calls;
}

CVellumDragDropObject* GetDragDropObject() {
    static CVellumDragDropObject* object = new CVellumDragDropObject(0);
    return object;
}

// ---- construction and registration ------------------------------------------------------------

CVellumDragDropObject::CVellumDragDropObject(int singleWindow)
    : m_targetSection(nullptr),
      m_insertAfter(nullptr),
      m_paletteDrag(FALSE),
      m_newItemKind(0),
      m_hoveredItem(nullptr),
      m_refCount(1),
      m_targetWindow(nullptr),
      m_internalDrag(FALSE),
      m_dragItem(nullptr),
      m_dragSection(nullptr),
      m_singleWindow(singleWindow ? TRUE : FALSE),
      m_refuseDrop(FALSE) {
    ::OleInitialize(nullptr);
}

CVellumDragDropObject::~CVellumDragDropObject() {
    if (g_hoverOwner == this) CancelHoverTimer();
    ::OleUninitialize();
}

void CVellumDragDropObject::Register(HWND wnd) {
    if (!wnd) return;
    if (m_singleWindow) {
        if (m_targetWindow) ::RevokeDragDrop(m_targetWindow);
        m_targetWindow = wnd;
    }
    ::RegisterDragDrop(wnd, static_cast<IDropTarget*>(this));
}

void CVellumDragDropObject::Revoke(HWND wnd) {
    if (!wnd) return;
    if (m_singleWindow) {
        if (m_targetWindow) ::RevokeDragDrop(m_targetWindow);
        m_targetWindow = nullptr;
        return;
    }
    ::RevokeDragDrop(wnd);
}

// ---- IUnknown -------------------------------------------------------------------------------

STDMETHODIMP CVellumDragDropObject::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject))
        *out = static_cast<IDataObject*>(this);
    else if (IsEqualIID(iid, IID_IDropSource))
        *out = static_cast<IDropSource*>(this);
    else if (IsEqualIID(iid, IID_IDropTarget))
        *out = static_cast<IDropTarget*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CVellumDragDropObject::AddRef() { return ++m_refCount; }

STDMETHODIMP_(ULONG) CVellumDragDropObject::Release() {
    // The object lives as long as its owner keeps it; counting down never frees it.
    --m_refCount;
    return m_refCount > 0 ? static_cast<ULONG>(m_refCount) : 0;
}

// ---- IDataObject ----------------------------------------------------------------------------

STDMETHODIMP CVellumDragDropObject::GetData(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }
STDMETHODIMP CVellumDragDropObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }
STDMETHODIMP CVellumDragDropObject::QueryGetData(FORMATETC*) { return E_NOTIMPL; }
STDMETHODIMP CVellumDragDropObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) {
    return E_NOTIMPL;
}
STDMETHODIMP CVellumDragDropObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }
STDMETHODIMP CVellumDragDropObject::EnumFormatEtc(DWORD, IEnumFORMATETC**) { return E_NOTIMPL; }
STDMETHODIMP CVellumDragDropObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
    return E_NOTIMPL;
}
STDMETHODIMP CVellumDragDropObject::DUnadvise(DWORD) { return E_NOTIMPL; }
STDMETHODIMP CVellumDragDropObject::EnumDAdvise(IEnumSTATDATA**) { return E_NOTIMPL; }

// ---- IDropSource ----------------------------------------------------------------------------

STDMETHODIMP CVellumDragDropObject::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
    if (escapePressed) return DRAGDROP_S_CANCEL;
    if (!(keyState & (MK_LBUTTON | MK_RBUTTON))) return DRAGDROP_S_DROP;
    return S_OK;
}

STDMETHODIMP CVellumDragDropObject::GiveFeedback(DWORD) { return DRAGDROP_S_USEDEFAULTCURSORS; }

// ---- starting drags -----------------------------------------------------------------------------

int CVellumDragDropObject::DoDragDrop(CVellumMenuItem* item) { return DoDragDrop(item, nullptr); }

int CVellumDragDropObject::DoDragDrop(CVellumMenuSection* section) {
    return DoDragDrop(nullptr, section);
}

int CVellumDragDropObject::DoDragDrop(CVellumMenuItem* item, CVellumMenuSection* section) {
    if ((item != nullptr) == (section != nullptr) || m_internalDrag) return 0;
    if (!m_singleWindow && !item) return 0;
    m_internalDrag = TRUE;
    m_dragItem = item;
    m_dragSection = section;
    ::OleInitialize(nullptr);

    DWORD allowed = DROPEFFECT_MOVE;
    IDataObject* own = item ? item->GetDragDropDataObject(&allowed) : nullptr;
    IDataObject* data = own ? own : static_cast<IDataObject*>(this);
    g_droppedHere = false;
    DWORD effect = DROPEFFECT_NONE;
    HRESULT hr = ::DoDragDrop(data, static_cast<IDropSource*>(this), allowed, &effect);
    if (hr == DRAGDROP_S_DROP && !g_droppedHere && item && IsLiveItem(item))
        item->DragDrop_Dropped(effect);

    if (own) own->Release();
    m_dragItem = nullptr;
    m_dragSection = nullptr;
    m_internalDrag = FALSE;
    ::OleUninitialize();
    return 1;
}

int CVellumDragDropObject::DoDragDrop(int, int kind) {
    if (m_singleWindow || m_internalDrag || m_paletteDrag) return 0;
    m_paletteDrag = TRUE;
    m_newItemKind = kind;
    ::OleInitialize(nullptr);
    g_droppedHere = false;
    DWORD effect = DROPEFFECT_NONE;
    ::DoDragDrop(static_cast<IDataObject*>(this), static_cast<IDropSource*>(this),
                 DROPEFFECT_MOVE, &effect);
    m_paletteDrag = FALSE;
    m_newItemKind = 0;
    ::OleUninitialize();
    return 1;
}

// ---- following the pointer ---------------------------------------------------------------------

STDMETHODIMP CVellumDragDropObject::DragEnter(IDataObject* data, DWORD keys, POINTL pt,
                                              DWORD* effect) {
    m_refuseDrop = FALSE;
    if (!m_internalDrag && !m_paletteDrag) m_refuseDrop = CountDroppedFiles(data) == 0;
    return DragOver(keys, pt, effect);
}

STDMETHODIMP CVellumDragDropObject::DragOver(DWORD, POINTL pt, DWORD* effect) {
    if (!effect) return E_INVALIDARG;
    CVellumMenuSection* section = nullptr;
    CVellumMenuItem* after = nullptr;
    HTREEITEM node = nullptr;
    *effect = EffectAt(pt, *effect, &section, &after, &node);
    if (m_singleWindow) {
        if (m_targetWindow)
            ::SendMessageA(m_targetWindow, TVM_SELECTITEM, TVGN_DROPHILITE,
                           reinterpret_cast<LPARAM>(*effect ? node : nullptr));
    } else if (*effect) {
        SetHilight(after, section);
    } else {
        SetHilight(nullptr, nullptr);
    }
    return S_OK;
}

STDMETHODIMP CVellumDragDropObject::DragLeave() {
    RemoveMarks();
    return S_OK;
}

DWORD CVellumDragDropObject::EffectAt(POINTL pt, DWORD allowed, CVellumMenuSection** section,
                                      CVellumMenuItem** insertAfter, HTREEITEM* node) {
    *section = nullptr;
    *insertAfter = nullptr;
    *node = nullptr;
    bool outside = !m_internalDrag && !m_paletteDrag;
    if (outside && m_refuseDrop) return DROPEFFECT_NONE;
    if (m_singleWindow) {
        *node = HitTest(pt);
        if (!*node || !TreeNodeAccepts(*node)) return DROPEFFECT_NONE;
        *section = GetSection(*node);
        if (outside) return BarEffect(*section, allowed);
        return (allowed & DROPEFFECT_MOVE) ? DROPEFFECT_MOVE : DROPEFFECT_LINK;
    }
    CVellumMenuItem* hovered = nullptr;
    *section = HitTestReal(pt, insertAfter, &hovered);
    SetHoverTimer(hovered);
    if (!*section) return DROPEFFECT_NONE;
    return BarEffect(*section, allowed);
}

DWORD CVellumDragDropObject::BarEffect(CVellumMenuSection* section, DWORD allowed) {
    if (m_internalDrag || m_paletteDrag) {
        if (m_dragItem && !MayMoveItemInto(m_dragItem, section)) return DROPEFFECT_NONE;
        if (!section->AllowDrop()) return DROPEFFECT_NONE;
        return (allowed & DROPEFFECT_MOVE) ? DROPEFFECT_MOVE : DROPEFFECT_LINK;
    }
    bool folder = false;
    if (!IsFileDropSection(section, &folder)) return DROPEFFECT_NONE;
    if (folder && (allowed & DROPEFFECT_MOVE)) return DROPEFFECT_MOVE;
    return DROPEFFECT_LINK;
}

bool MayMoveItemInto(CVellumMenuItem* item, CVellumMenuSection* target) {
    if (!item || !target) return false;
    CVellumMenuSection* from = item->m_pSection;
    if (from == target) return true;
    if (from && IsLiveSection(from) && from->IsLockedSection()) return false;
    return !target->IsLockedSection();
}

bool CVellumDragDropObject::TreeNodeAccepts(HTREEITEM node) {
    if (m_dragSection) return GetSection(node) != nullptr;
    CVellumMenuSection* section = GetSection(node);
    if (!section || !section->AllowDrop()) return false;
    return !m_dragItem || MayMoveItemInto(m_dragItem, section);
}

void CVellumDragDropObject::RemoveMarks() {
    if (m_singleWindow) {
        if (m_targetWindow) ::SendMessageA(m_targetWindow, TVM_SELECTITEM, TVGN_DROPHILITE, 0);
        return;
    }
    SetHilight(nullptr, nullptr);
}

int CVellumDragDropObject::SetHilight(CVellumMenuItem* insertAfter, CVellumMenuSection* section) {
    CVellumMenuSection* previous = m_targetSection;
    m_targetSection = section;
    m_insertAfter = section ? insertAfter : nullptr;
    // A section that went away with its bar keeps no mark to take back.
    if (previous && IsLiveSection(previous)) previous->UpdateInvertRect();
    if (section && section != previous) section->UpdateInvertRect();
    return 1;
}

// ---- hit tests ----------------------------------------------------------------------------------

CVellumMenuSection* CVellumDragDropObject::HitTestReal(POINTL pt, CVellumMenuItem** insertAfter,
                                                       CVellumMenuItem** hovered) {
    if (insertAfter) *insertAfter = nullptr;
    if (hovered) *hovered = nullptr;
    POINT screen = {pt.x, pt.y};
    HWND under = ::WindowFromPoint(screen);
    CVellumMenuObject* bar = under ? LiveBarOfWindow(::GetAncestor(under, GA_ROOT)) : nullptr;
    if (!bar || !bar->m_hWnd) return nullptr;
    POINT client = screen;
    ::ScreenToClient(bar->m_hWnd, &client);
    CVellumMenuSection* section = bar->HitTest(client);
    if (!section) return nullptr;
    CVellumMenuItem* item = section->HitTestSection(client);
    if (hovered) *hovered = item;
    if (!insertAfter) return section;
    bool vertical = bar->DisplayVertically != 0;
    if (!item) {
        int first = section->m_firstShownItem < 0 ? 0 : section->m_firstShownItem;
        CVellumMenuItem* firstShown = first < kMaxItems ? section->m_items[first] : nullptr;
        if (firstShown) {
            RECT rect;
            firstShown->GetRealItemRect(&rect);
            bool before = vertical ? client.y < rect.top : client.x < rect.left;
            if (before) *insertAfter = FrontOfSection();
        }
        return section;
    }
    RECT rect;
    item->GetRealItemRect(&rect);
    bool firstHalf = vertical ? client.y < (rect.top + rect.bottom) / 2
                              : client.x < (rect.left + rect.right) / 2;
    if (!firstHalf) {
        *insertAfter = item;
    } else {
        CVellumMenuItem* previous = section->GetPreviousItem(item);
        *insertAfter = previous ? previous : FrontOfSection();
    }
    return section;
}

int TreeNodeDepth(HWND tree, HTREEITEM node) {
    if (!tree || !node) return -1;
    int depth = 0;
    HTREEITEM parent = node;
    while ((parent = reinterpret_cast<HTREEITEM>(::SendMessageA(
                tree, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(parent)))) != nullptr)
        ++depth;
    return depth;
}

namespace {

LPARAM NodeData(HWND tree, HTREEITEM node) {
    if (!tree || !node) return 0;
    TVITEMA item = {};
    item.mask = TVIF_PARAM | TVIF_HANDLE;
    item.hItem = node;
    if (!::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return 0;
    return item.lParam;
}

HTREEITEM ParentNode(HWND tree, HTREEITEM node) {
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(node)));
}

}  // namespace

HTREEITEM CVellumDragDropObject::HitTest(POINTL pt) {
    if (!m_targetWindow) return nullptr;
    TVHITTESTINFO info = {};
    info.pt.x = pt.x;
    info.pt.y = pt.y;
    ::ScreenToClient(m_targetWindow, &info.pt);
    HTREEITEM node = reinterpret_cast<HTREEITEM>(
        ::SendMessageA(m_targetWindow, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    if (!node || !(info.flags & TVHT_ONITEM)) return nullptr;
    int depth = TreeNodeDepth(m_targetWindow, node);
    if (depth == 0 && m_dragItem) return nullptr;
    if (depth == 2 && m_dragSection) return ParentNode(m_targetWindow, node);
    return node;
}

CVellumMenuSection* CVellumDragDropObject::GetSection(HTREEITEM node) {
    int depth = TreeNodeDepth(m_targetWindow, node);
    if (depth == 2) node = ParentNode(m_targetWindow, node);
    if (depth != 1 && depth != 2) return nullptr;
    auto* section = reinterpret_cast<CVellumMenuSection*>(NodeData(m_targetWindow, node));
    return IsLiveSection(section) ? section : nullptr;
}

CVellumMenuItem* CVellumDragDropObject::GetItem(HTREEITEM node) {
    if (TreeNodeDepth(m_targetWindow, node) != 2) return nullptr;
    auto* item = reinterpret_cast<CVellumMenuItem*>(NodeData(m_targetWindow, node));
    return IsLiveItem(item) ? item : nullptr;
}

CVellumMenuObject* CVellumDragDropObject::GetObjectA(HTREEITEM node) {
    int depth = TreeNodeDepth(m_targetWindow, node);
    if (depth < 0) return nullptr;
    while (depth-- > 0) node = ParentNode(m_targetWindow, node);
    auto* bar = reinterpret_cast<CVellumMenuObject*>(NodeData(m_targetWindow, node));
    return IsLiveBar(bar) ? bar : nullptr;
}

// ---- hover timer -----------------------------------------------------------------------------

void CVellumDragDropObject::CancelHoverTimer() {
    if (g_hoverTimer) ::KillTimer(g_hoverWindow, g_hoverTimer);
    g_hoverTimer = 0;
    g_hoverWindow = nullptr;
    g_hoverOwner = nullptr;
}

void CVellumDragDropObject::SetHoverTimer(CVellumMenuItem* item) {
    if (item == m_hoveredItem || m_internalDrag) return;
    CancelHoverTimer();
    m_hoveredItem = item;
    if (!item) return;
    if (m_singleWindow) {
        g_hoverWindow = m_targetWindow;
        g_hoverTimer = ::SetTimer(m_targetWindow, kDragHoverTimer, kDragHoverDelay,
                                  DragHoverTimerProc);
    } else {
        g_hoverWindow = nullptr;
        g_hoverTimer = ::SetTimer(nullptr, 0, kDragHoverDelay, DragHoverTimerProc);
    }
    if (g_hoverTimer) g_hoverOwner = this;
}

void CVellumDragDropObject::HoverTimer() {
    CVellumMenuItem* item = m_hoveredItem;
    // The item may have gone while the pointer rested (folder and taskbar
    // sections rebuild their items).
    if (item && IsLiveItem(item)) item->DragHover();
}

// ---- files in a drop ----------------------------------------------------------------------------

int CountDroppedFiles(IDataObject* data) {
    if (!data) return 0;
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&format, &medium))) return 0;
    int count = 0;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal)
        count = static_cast<int>(
            ::DragQueryFileA(static_cast<HDROP>(medium.hGlobal), 0xFFFFFFFF, nullptr, 0));
    ::ReleaseStgMedium(&medium);
    return count;
}

// ---- bars ---------------------------------------------------------------------------------------

namespace {
// While the program starts, bars wait with their drop targets: registering
// the first one starts OLE, which the first picture does not need.
bool g_dropTargetsDeferred = false;
}  // namespace

void CVellumMenuObject::DeferDropTargets(bool defer) {
    g_dropTargetsDeferred = defer;
    if (defer) return;
    for (int i = 0; i < GetBarWindowCount(); ++i) {
        if (CVellumMenuObject* bar = LiveBarOfWindow(GetBarWindowAt(i))) bar->RegisterDropTarget();
    }
}

void CVellumMenuObject::RegisterDropTarget() {
    if (!m_hWnd || m_dragDrop || g_dropTargetsDeferred) return;
    m_dragDrop = GetDragDropObject();
    m_dragDrop->AddRef();
    m_dragDrop->Register(m_hWnd);
}

void CVellumMenuObject::RevokeDropTarget() {
    if (!m_dragDrop) return;
    if (m_hWnd) m_dragDrop->Revoke(m_hWnd);
    // A bar that goes during a drag leaves no mark behind in the object.
    if (m_dragDrop->m_targetSection && !IsLiveSection(m_dragDrop->m_targetSection))
        m_dragDrop->SetHilight(nullptr, nullptr);
    m_dragDrop->Release();
    m_dragDrop = nullptr;
}
