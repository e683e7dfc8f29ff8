// The drop: an item or section moved, a new item from the palette, or files
// from the shell turned into items. The target is taken afresh from the
// point of the drop, so nothing remembered during the drag (while folder and
// taskbar sections rebuilt their items) is trusted.
#include "model/drag_drop_object.h"
#include <shellapi.h>
#include "model/drag_drop_calls.h"
#include "model/drag_drop_internal.h"
#include "model/live_objects.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"

namespace {

// ---- the tree's nodes ------------------------------------------------------------------------

HTREEITEM ChildWithData(HWND tree, HTREEITEM parent, const void* data) {
    HTREEITEM node = reinterpret_cast<HTREEITEM>(::SendMessageA(
        tree, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(parent)));
    for (; node; node = reinterpret_cast<HTREEITEM>(::SendMessageA(
                     tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(node)))) {
        TVITEMA item = {};
        item.mask = TVIF_PARAM | TVIF_HANDLE;
        item.hItem = node;
        if (::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) &&
            reinterpret_cast<const void*>(item.lParam) == data)
            return node;
    }
    return nullptr;
}

HTREEITEM SectionNode(HWND tree, CVellumMenuObject* bar, CVellumMenuSection* section) {
    HTREEITEM barNode = ChildWithData(tree, nullptr, bar);
    return barNode ? ChildWithData(tree, barNode, section) : nullptr;
}

HTREEITEM AddNode(HWND tree, HTREEITEM parent, HTREEITEM after, const char* text, LPARAM data) {
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = after ? after : TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(text ? text : "");
    insert.item.lParam = data;
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

HTREEITEM AddItemNode(HWND tree, CVellumMenuItem* item, CVellumMenuItem* after) {
    if (!tree) return nullptr;
    HTREEITEM parent = SectionNode(tree, item->m_pBar, item->m_pSection);
    if (!parent) return nullptr;
    HTREEITEM afterNode = TVI_LAST;
    if (after == FrontOfSection())
        afterNode = TVI_FIRST;
    else if (after)
        afterNode = ChildWithData(tree, parent, after);
    return AddNode(tree, parent, afterNode, item->m_title, reinterpret_cast<LPARAM>(item));
}

void SelectNode(HWND tree, HTREEITEM node) {
    if (tree && node) ::SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
}

void DeleteNode(HWND tree, HTREEITEM node) {
    if (tree && node) ::SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node));
}

// An insertion point that still names an item of the section; else the end.
CVellumMenuItem* CheckedInsertPoint(CVellumMenuSection* section, CVellumMenuItem* after) {
    if (after == FrontOfSection()) return after;
    return after && section->FindItem(after) >= 0 ? after : nullptr;
}

void LayOut(CVellumMenuObject* bar, bool markModified, int times) {
    if (!bar || !IsLiveBar(bar)) return;
    if (markModified) bar->SetModified();
    bar->UpdatePos();
    for (int i = 0; i < times; ++i) bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
}

}  // namespace

STDMETHODIMP CVellumDragDropObject::Drop(IDataObject* data, DWORD, POINTL pt, DWORD* effect) {
    CancelHoverTimer();
    m_hoveredItem = nullptr;
    SetDroppedHere();
    DWORD allowed = effect ? *effect : DROPEFFECT_MOVE;
    if (effect) *effect = DROPEFFECT_NONE;

    CVellumMenuSection* section = nullptr;
    CVellumMenuItem* after = nullptr;
    HTREEITEM node = nullptr;
    DWORD result = EffectAt(pt, allowed, &section, &after, &node);
    CVellumMenuObject* bar = nullptr;
    if (result != DROPEFFECT_NONE && section) {
        if (m_singleWindow) {
            bar = GetObjectA(node);
            after = m_dragSection ? reinterpret_cast<CVellumMenuItem*>(section) : GetItem(node);
        } else {
            bar = section->m_pBar;
        }
    }
    if (result == DROPEFFECT_NONE || !bar || !IsLiveBar(bar)) {
        RemoveMarks();
        return S_OK;
    }
    m_insertAfter = after;
    if (m_dragSection)
        DropSection(bar, section);
    else if (m_dragItem)
        DropItem(bar, section);
    else if (m_paletteDrag)
        DropPaletteItem(bar, section);
    else
        DropFiles(data, bar, section);
    RemoveMarks();
    if (effect) *effect = result;
    return S_OK;
}

void CVellumDragDropObject::DropItem(CVellumMenuObject* bar, CVellumMenuSection* section) {
    CVellumMenuItem* item = m_dragItem;
    if (!IsLiveItem(item)) return;
    CVellumMenuItem* after = CheckedInsertPoint(section, m_insertAfter);
    if (after == item) return;
    CVellumMenuSection* from = item->m_pSection;
    CVellumMenuObject* fromBar = item->m_pBar;
    // Taking the item out first and finding no room after would lose it.
    if (from != section && section->GetNumOfItems() >= kMaxItems) return;
    RemoveMarks();
    HWND tree = m_singleWindow ? m_targetWindow : nullptr;
    if (tree) DeleteNode(tree, ChildWithData(tree, SectionNode(tree, fromBar, from), item));

    int oldIndex = from->FindItem(item);
    from->RemoveItem(item, 0);
    fromBar->ItemBeingDestroyed(item);
    item->UpdateParents(bar, section);
    if (!section->InsertItem(after, item)) {
        item->UpdateParents(fromBar, from);
        from->InsertItem(oldIndex, item);
        SelectNode(tree, AddItemNode(tree, item, from->GetPreviousItem(item)));
        return;
    }
    CVellumMenuItem* previous = section->GetPreviousItem(item);
    SelectNode(tree, AddItemNode(tree, item, previous ? previous : FrontOfSection()));
    Relayout(fromBar, from, bar, section, false);
}

void CVellumDragDropObject::DropSection(CVellumMenuObject* bar, CVellumMenuSection* after) {
    CVellumMenuSection* section = m_dragSection;
    if (!IsLiveSection(section) || section == after) return;
    CVellumMenuObject* fromBar = section->m_pBar;
    HWND tree = m_targetWindow;
    if (tree) DeleteNode(tree, SectionNode(tree, fromBar, section));
    fromBar->RemoveSection(section, 0);
    section->UpdateParents(bar);
    bar->InsertSection(after, section);
    if (bar->FindSection(section) < 0) {
        // No slot left in the target bar: the section goes back where it was.
        section->UpdateParents(fromBar);
        fromBar->InsertSection(-1, section);
        bar = fromBar;
    }
    HTREEITEM barNode = tree ? ChildWithData(tree, nullptr, bar) : nullptr;
    if (barNode) {
        HTREEITEM afterNode = ChildWithData(tree, barNode, bar->GetPreviousSection(section));
        HTREEITEM node = AddNode(tree, barNode, afterNode ? afterNode : TVI_FIRST, section->Title,
                                 reinterpret_cast<LPARAM>(section));
        for (int i = 0; node && i < kMaxItems && section->m_items[i]; ++i)
            AddNode(tree, node, TVI_LAST, section->m_items[i]->m_title,
                    reinterpret_cast<LPARAM>(section->m_items[i]));
        SelectNode(tree, node);
    }
    LayOut(fromBar, true, 2);
    if (bar != fromBar) LayOut(bar, true, 2);
}

void CVellumDragDropObject::DropPaletteItem(CVellumMenuObject* bar, CVellumMenuSection* section) {
    CVellumMenuItem* (*make)(CVellumMenuObject*, CVellumMenuSection*, int) =
        GetDropItemCalls().MakeNewItem;
    CVellumMenuItem* item = make ? make(bar, section, m_newItemKind) : nullptr;
    if (!item) return;
    // A wizard that was cancelled leaves the section as it was.
    if (!item->DoNewItemWizzard() || !IsLiveSection(section) ||
        !section->InsertItem(CheckedInsertPoint(section, m_insertAfter), item)) {
        delete item;
        return;
    }
    Relayout(nullptr, nullptr, bar, section, false);
}

void CVellumDragDropObject::DropFiles(IDataObject* data, CVellumMenuObject* bar,
                                      CVellumMenuSection* section) {
    if (!data) return;
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&format, &medium))) return;
    if (medium.tymed != TYMED_HGLOBAL || !medium.hGlobal) {
        ::ReleaseStgMedium(&medium);
        return;
    }
    HDROP drop = static_cast<HDROP>(medium.hGlobal);
    bool folder = false;
    IsFileDropSection(section, &folder);
    const DropItemCalls& calls = GetDropItemCalls();
    CVellumMenuItem* after = CheckedInsertPoint(section, m_insertAfter);
    bool added = false;
    HTREEITEM lastNode = nullptr;
    UINT count = ::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        // A name cut to the buffer would name another file: it is skipped.
        UINT length = ::DragQueryFileA(drop, i, nullptr, 0);
        if (length == 0 || length + 1 > static_cast<UINT>(kDroppedNameSize)) continue;
        char name[kDroppedNameSize] = "";
        if (::DragQueryFileA(drop, i, name, sizeof(name)) != length) continue;
        CVellumMenuItem* item = nullptr;
        if (folder) {
            item = calls.MoveIntoFolder ? calls.MoveIntoFolder(bar, section, name) : nullptr;
            if (item && section->IsLockedSection()) section->m_orderChanged = TRUE;
        } else {
            item = calls.MakeFileItem ? calls.MakeFileItem(bar, section, name) : nullptr;
        }
        if (!item) continue;
        if (!section->InsertItem(after, item)) {
            // A full section: the new item has no place.
            delete item;
            continue;
        }
        // The next file follows this one, so the files keep their order.
        if (m_singleWindow) lastNode = AddItemNode(m_targetWindow, item, after);
        after = item;
        added = true;
    }
    SelectNode(m_singleWindow ? m_targetWindow : nullptr, lastNode);
    ::ReleaseStgMedium(&medium);
    if (added) Relayout(nullptr, nullptr, bar, section, folder);
}

void CVellumDragDropObject::Relayout(CVellumMenuObject* lost, CVellumMenuSection* lostSection,
                                     CVellumMenuObject* gained, CVellumMenuSection* gainedSection,
                                     bool onDisk) {
    if (lost == gained && lostSection == gainedSection && lostSection) {
        gainedSection->m_orderChanged = TRUE;
        if (!onDisk) gained->SetModified();
        gained->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
        return;
    }
    if (lost && lost != gained) LayOut(lost, !onDisk, 2);
    LayOut(gained, !onDisk, 2);
}
