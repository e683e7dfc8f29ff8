// The theme editor's tree: a node per open bar, its sections and their
// items, under two header rows ("Docked Bars", "Floating Bars"). Nodes hold
// raw object pointers; every use checks that the object is still alive.
#include "shell/theme_editor_internal.h"

#include <cstring>
#include "model/drag_drop_object.h"
#include "model/live_objects.h"
#include "model/bar_window.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "shell/startup.h"
#include "shell/theme_editor_resources.h"
#include "util/handles.h"
#include "util/text.h"

namespace {

constexpr char kHiddenSuffix[] = " (Hidden)";
constexpr char kSeparatorText[] = "---------------------";
// Node texts are cut at this many characters.
constexpr size_t kNodeTextSize = 261;
// Image indexes of the program's icons in the tree's list.
enum EditorImage : int { kItemImage = 0, kSectionImage = 1, kBarImage = 2, kExtraImage = 3 };
// An index past the list: the node shows no image.
constexpr int kNoImage = 100;

HWND Tree() { return Editor().tree; }

HTREEITEM NextNode(HTREEITEM node, UINT relation) {
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageA(Tree(), TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(node)));
}

HTREEITEM FirstChild(HTREEITEM parent) {
    return parent ? NextNode(parent, TVGN_CHILD) : NextNode(nullptr, TVGN_ROOT);
}

HTREEITEM InsertNode(HTREEITEM parent, const char* text, LPARAM data, int image) {
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<char*>(text);
    insert.item.lParam = data;
    insert.item.iImage = image;
    insert.item.iSelectedImage = image;
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageA(Tree(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void SetNodeText(HTREEITEM node, const char* text) {
    TVITEMA item = {};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = const_cast<char*>(text);
    ::SendMessageA(Tree(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void SetNodeImage(HTREEITEM node, int image) {
    TVITEMA item = {};
    item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = node;
    item.iImage = image;
    item.iSelectedImage = image;
    ::SendMessageA(Tree(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

// An object's own icon joins the list; the kind's icon otherwise.
// custom is the object's own icon, handed over: the image list keeps a copy.
int ImageFor(HICON custom, int fallback) {
    tess::ScopedIcon icon(custom);
    if (!icon || !Editor().images) return fallback;
    const int index = ImageList_AddIcon(Editor().images, icon.get());
    return index >= 0 ? index : fallback;
}

void ComposeText(char* out, size_t size, const char* title, bool hidden) {
    tess::CopyText(out, size, title ? title : "");
    if (hidden) tess::AppendText(out, size, kHiddenSuffix);
}

bool BarLooksHidden(const CVellumMenuObject* bar) {
    return !bar->m_hWnd || !::IsWindowVisible(bar->m_hWnd);
}

void BarText(const CVellumMenuObject* bar, const char* title, char* out, size_t size) {
    ComposeText(out, size, title, BarLooksHidden(bar));
}

void SectionText(const CVellumMenuSection* section, const char* title, char* out, size_t size) {
    ComposeText(out, size, title, section->IsHidden != FALSE);
}

void ItemText(const CVellumMenuItem* item, const char* title, char* out, size_t size) {
    tess::CopyText(out, size, item->Separator ? kSeparatorText : (title ? title : ""));
}

int ItemImage(CVellumMenuItem* item) {
    return item->Separator ? kNoImage : ImageFor(item->GetCustomIcon(), kItemImage);
}

HTREEITEM InsertItemNode(CVellumMenuItem* item, HTREEITEM parent) {
    char text[kNodeTextSize];
    ItemText(item, item->m_title, text, sizeof(text));
    return InsertNode(parent, text, reinterpret_cast<LPARAM>(item), ItemImage(item));
}

// A bar the user sees as one of the theme's, shown or hidden on purpose.
bool BarBelongsInTree(CVellumMenuObject* bar) {
    if (IsInternalBar(bar)) return false;
    return (bar->m_hWnd && ::IsWindowVisible(bar->m_hWnd)) || bar->m_layerHidden ||
           bar->m_associatedPopupItem || bar->m_shownByPopupItem || bar->SetAsHidden ||
           bar->bHideBarUntilHotkey;
}

void SortChildren(HTREEITEM parent, PFNTVCOMPARE order, LPARAM data) {
    TVSORTCB sort = {};
    sort.hParent = parent ? parent : TVI_ROOT;
    sort.lpfnCompare = order;
    sort.lParam = data;
    ::SendMessageA(Tree(), TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
}

bool IsSameOrAncestor(HTREEITEM ancestor, HTREEITEM node) {
    for (; node; node = NextNode(node, TVGN_PARENT))
        if (node == ancestor) return true;
    return false;
}

bool IsDocked(const CVellumMenuObject* bar) { return bar->DockToEdge >= 0; }

int HeaderAgainstBar(LPARAM header, const CVellumMenuObject* bar) {
    if (header == kDockedHeader) return -1;
    return bar && IsDocked(bar) ? 1 : -1;
}

}  // namespace

// ---- shared with the editor's other files ---------------------------------------------------
LPARAM EditorNodeData(HTREEITEM node) {
    if (!node || !Tree()) return 0;
    TVITEMA item = {};
    item.mask = TVIF_PARAM;
    item.hItem = node;
    if (!::SendMessageA(Tree(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return 0;
    return item.lParam;
}

bool IsEditorHeaderNode(HTREEITEM node) {
    return node && EditorNodeData(node) < kHeaderDataLimit;
}

HTREEITEM SelectedEditorNode() { return Tree() ? NextNode(nullptr, TVGN_CARET) : nullptr; }

bool EditorNodeKindOf(HTREEITEM node, EditorNodeKind* kind) {
    if (!node || IsEditorHeaderNode(node)) return false;
    const int depth = TreeNodeDepth(Tree(), node);
    if (depth < 0 || depth > 2) return false;
    *kind = static_cast<EditorNodeKind>(depth);
    return true;
}

void* EditorNodeObject(HTREEITEM node) {
    EditorNodeKind kind;
    if (!EditorNodeKindOf(node, &kind)) return nullptr;
    void* data = reinterpret_cast<void*>(EditorNodeData(node));
    switch (kind) {
    case EditorNodeKind::Bar: return IsLiveBar(data) ? data : nullptr;
    case EditorNodeKind::Section: return IsLiveSection(data) ? data : nullptr;
    case EditorNodeKind::Item: return IsLiveItem(data) ? data : nullptr;
    }
    return nullptr;
}

CVellumMenuObject* EditorNodeBar(HTREEITEM node) {
    if (!node || IsEditorHeaderNode(node)) return nullptr;
    HTREEITEM top = node;
    for (HTREEITEM up = node; (up = NextNode(up, TVGN_PARENT)) != nullptr;) top = up;
    return static_cast<CVellumMenuObject*>(EditorNodeObject(top));
}

void EditorNodeTitle(HTREEITEM node, char* out, size_t size) {
    tess::CopyText(out, size, "");
    EditorNodeKind kind;
    void* object = EditorNodeObject(node);
    if (!object || !EditorNodeKindOf(node, &kind)) return;
    switch (kind) {
    case EditorNodeKind::Bar:
        tess::CopyText(out, size, static_cast<CVellumMenuObject*>(object)->Title);
        break;
    case EditorNodeKind::Section:
        tess::CopyText(out, size, static_cast<CVellumMenuSection*>(object)->Title);
        break;
    case EditorNodeKind::Item: {
        auto* item = static_cast<CVellumMenuItem*>(object);
        ItemText(item, item->m_title, out, size);
        break;
    }
    }
}

HIMAGELIST CreateEditorImages() {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 16);
    if (!list) return nullptr;
    for (int id : {IDI_EDITOR_ITEM, IDI_EDITOR_SECTION, IDI_EDITOR_BAR, IDI_EDITOR_EXTRA}) {
        HICON icon = static_cast<HICON>(
            ::LoadImageA(GetAppInstance(), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
        ImageList_AddIcon(list, icon);
        if (icon) ::DestroyIcon(icon);
    }
    return list;
}

void FillEditorTree() {
    for (HWND wnd = ::FindWindowExA(nullptr, nullptr, kBarWindowClass, nullptr); wnd;
         wnd = ::FindWindowExA(nullptr, wnd, kBarWindowClass, nullptr)) {
        CVellumMenuObject* bar = LiveBarOfWindow(wnd);
        if (bar && BarBelongsInTree(bar)) AddBarToEditorTree(bar);
    }
    SortEditorTree();
    Editor().docked_header = InsertNode(nullptr, "", kDockedHeader, kNoImage);
    InsertNode(nullptr, "", kDockedHeader, kNoImage);
    Editor().floating_header = InsertNode(nullptr, "", kFloatingHeader, kNoImage);
    InsertNode(nullptr, "", kFloatingHeader, kNoImage);
    SortEditorTree();
}

// ---- node operations ------------------------------------------------------------------------------
HTREEITEM SelectEditorNode(HTREEITEM node, int tab) {
    if (!node || !Tree()) return nullptr;
    EditorNodeKind kind;
    const bool object_node = EditorNodeKindOf(node, &kind);
    if (tab >= 0 && object_node) Editor().last_tab[static_cast<int>(kind)] = tab;
    ::SendMessageA(Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
    ::SendMessageA(Tree(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node));
    if (tab >= 0 && object_node && SelectedEditorNode() == node) {
        SetEditorTabs(Editor().tabs, kind, tab);
        ShowEditorPageForSelection(Editor().window, false);
    }
    return node;
}

HTREEITEM FindEditorNode(const void* object, bool deep, HTREEITEM start) {
    if (!object || !Tree()) return nullptr;
    for (HTREEITEM node = start ? start : FirstChild(nullptr); node; node = NextNode(node, TVGN_NEXT)) {
        if (EditorNodeData(node) == reinterpret_cast<LPARAM>(object)) return node;
        if (!deep) continue;
        if (HTREEITEM child = FirstChild(node))
            if (HTREEITEM found = FindEditorNode(object, true, child)) return found;
    }
    return nullptr;
}

HTREEITEM AddBarToEditorTree(CVellumMenuObject* bar) {
    if (!EditorIsOpen() || !IsLiveBar(bar) || IsInternalBar(bar)) return nullptr;
    if (HTREEITEM listed = FindEditorNode(bar, false, nullptr)) return listed;
    char text[kNodeTextSize];
    BarText(bar, bar->Title, text, sizeof(text));
    HTREEITEM node = InsertNode(nullptr, text, reinterpret_cast<LPARAM>(bar), kBarImage);
    if (!node) return nullptr;
    for (int i = 0; i < kMaxSections && bar->m_sections[i]; ++i)
        AddSectionToEditorTree(bar->m_sections[i], node, -1);
    SortEditorTree();
    return node;
}

HTREEITEM AddSectionToEditorTree(CVellumMenuSection* section, HTREEITEM parent, int sortFlag) {
    if (!EditorIsOpen() || !IsLiveSection(section)) return nullptr;
    if (!parent) parent = FindEditorNode(section->m_pBar, false, nullptr);
    if (!parent) return nullptr;
    char text[kNodeTextSize];
    SectionText(section, section->Title, text, sizeof(text));
    HTREEITEM node = InsertNode(parent, text, reinterpret_cast<LPARAM>(section),
                                ImageFor(section->GetCustomIcon(), kSectionImage));
    if (!node) return nullptr;
    for (int i = 0; i < kMaxItems; ++i) {
        CVellumMenuItem* item = section->GUI_CustomEnumItems(i);
        if (!item) break;
        InsertItemNode(item, node);
    }
    if (sortFlag >= 0) SortEditorNodeChildren(parent);
    return node;
}

HTREEITEM AddItemToEditorTree(CVellumMenuItem* item, HTREEITEM parent, int sortFlag) {
    if (!EditorIsOpen() || !IsLiveItem(item) || !item->m_pSection) return nullptr;
    if (!item->m_pSection->AllowEnumItems()) return nullptr;
    if (!parent) parent = FindEditorNode(item->m_pSection, true, nullptr);
    if (!parent) return nullptr;
    HTREEITEM node = InsertItemNode(item, parent);
    if (node && sortFlag >= 0) SortEditorNodeChildren(parent);
    return node;
}

void UpdateEditorItemNode(CVellumMenuItem* item) {
    if (!EditorIsOpen() || !IsLiveItem(item)) return;
    HTREEITEM node = FindEditorNode(item, true, nullptr);
    if (!node) return;
    char text[kNodeTextSize];
    ItemText(item, item->m_title, text, sizeof(text));
    SetNodeText(node, text);
    SetNodeImage(node, ItemImage(item));
}

int SetEditorNodeTitle(const void* object, const char* text) {
    if (!EditorIsOpen() || !object) return 0;
    HTREEITEM node = FindEditorNode(object, true, nullptr);
    EditorNodeKind kind;
    if (!node || !EditorNodeKindOf(node, &kind) || !EditorNodeObject(node)) return 0;
    char composed[kNodeTextSize];
    switch (kind) {
    case EditorNodeKind::Bar:
        BarText(static_cast<const CVellumMenuObject*>(object), text, composed, sizeof(composed));
        break;
    case EditorNodeKind::Section:
        SectionText(static_cast<const CVellumMenuSection*>(object), text, composed, sizeof(composed));
        break;
    case EditorNodeKind::Item:
        ItemText(static_cast<const CVellumMenuItem*>(object), text, composed, sizeof(composed));
        break;
    }
    SetNodeText(node, composed);
    return 1;
}

void DeleteEditorNode(HTREEITEM node) {
    if (!node || !Tree()) return;
    // The tree would move the selection to a neighbour, and the page, the
    // caption and the helper lines with it: the removed object's place is
    // left without a selection instead.
    if (IsSameOrAncestor(node, SelectedEditorNode())) {
        ::SendMessageA(Tree(), TVM_SELECTITEM, TVGN_CARET, 0);
        ShowNoSelection();
    }
    ::SendMessageA(Tree(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node));
}

void RemoveEditorNode(const void* object) {
    if (!EditorIsOpen()) return;
    DeleteEditorNode(FindEditorNode(object, true, nullptr));
}

void SortEditorTree() {
    if (Tree()) SortChildren(nullptr, EditorTreeTopLevelOrder, 0);
}

void SortEditorNodeChildren(HTREEITEM node) {
    if (!node || !Tree() || !EditorNodeObject(node)) return;
    SortChildren(node, EditorNodeBarOrder, EditorNodeData(node));
}

int GetTreeNodeDepth(HWND tree, HTREEITEM node) { return TreeNodeDepth(tree, node); }

// ---- sort orders ------------------------------------------------------------------------------------
int CALLBACK EditorTreeTopLevelOrder(LPARAM a, LPARAM b, LPARAM) {
    if (a == b || !a || !b) return 0;
    if (a == kLastHeader) return 1;
    if (b == kLastHeader) return -1;
    const bool a_header = a < kHeaderDataLimit, b_header = b < kHeaderDataLimit;
    auto* bar_a = a_header ? nullptr : reinterpret_cast<CVellumMenuObject*>(a);
    auto* bar_b = b_header ? nullptr : reinterpret_cast<CVellumMenuObject*>(b);
    if (bar_a && !IsLiveBar(bar_a)) bar_a = nullptr;
    if (bar_b && !IsLiveBar(bar_b)) bar_b = nullptr;
    if (a_header && b_header) return a < b ? -1 : 1;
    if (a_header) return HeaderAgainstBar(a, bar_b);
    if (b_header) return -HeaderAgainstBar(b, bar_a);
    if (!bar_a || !bar_b) return bar_a ? -1 : (bar_b ? 1 : 0);
    if (IsDocked(bar_a) != IsDocked(bar_b)) return IsDocked(bar_a) ? -1 : 1;
    return ::lstrcmpiA(bar_a->Title, bar_b->Title);
}

int CALLBACK EditorNodeBarOrder(LPARAM a, LPARAM b, LPARAM parent) {
    void* pa = reinterpret_cast<void*>(a);
    void* pb = reinterpret_cast<void*>(b);
    void* owner = reinterpret_cast<void*>(parent);
    if (IsLiveBar(owner) && IsLiveSection(pa) && IsLiveSection(pb)) {
        auto* bar = static_cast<CVellumMenuObject*>(owner);
        return bar->FindSection(static_cast<CVellumMenuSection*>(pa)) -
               bar->FindSection(static_cast<CVellumMenuSection*>(pb));
    }
    if (IsLiveSection(owner) && IsLiveItem(pa) && IsLiveItem(pb)) {
        auto* section = static_cast<CVellumMenuSection*>(owner);
        return section->FindItem(static_cast<CVellumMenuItem*>(pa)) -
               section->FindItem(static_cast<CVellumMenuItem*>(pb));
    }
    return 0;
}
