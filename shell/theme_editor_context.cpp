// The theme editor tree's context menus: one for bar, section and item
// nodes each, the program's tray menu on empty space, and the "Hilight"
// flashes that show where an object sits on the screen.
#include "shell/theme_editor_internal.h"

#include "model/bar_hold.h"
#include "model/live_objects.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "shell/program_tray_icon.h"

namespace {

enum BarEntry : UINT { kSaveBar = 1, kSaveBarAs = 2, kCloseBar = 3, kHilightBar = 4 };
enum SectionEntry : UINT { kRemoveSection = 1, kHilightSection = 2, kDuplicateSection = 3 };
enum ItemEntry : UINT { kRemoveItem = 1, kDuplicateItem = 2, kHilightItem = 3 };

constexpr int kFlashInversions = 10;
constexpr DWORD kFlashPauseMs = 110;

// Inverts the region (screen coordinates) on the screen, back and forth.
void FlashRegion(HRGN region) {
    if (!region) return;
    for (int i = 0; i < kFlashInversions; ++i) {
        tess::ScopedWindowDc screen(nullptr);
        if (screen) ::InvertRgn(screen.get(), region);
        ::GdiFlush();
        ::Sleep(kFlashPauseMs);
    }
}

POINT BarScreenOrigin(CVellumMenuObject* bar) {
    RECT window = {};
    if (bar->m_hWnd) ::GetWindowRect(bar->m_hWnd, &window);
    return {window.left, window.top};
}

// A rectangle of the bar's window (window coordinates) flashed on the screen.
void FlashBarRect(CVellumMenuObject* bar, RECT rect) {
    const POINT at = BarScreenOrigin(bar);
    ::OffsetRect(&rect, at.x, at.y);
    tess::ScopedRegion region(::CreateRectRgnIndirect(&rect));
    FlashRegion(region.get());
}

void FlashBar(CVellumMenuObject* bar) {
    if (!bar->m_hWnd) return;
    tess::ScopedRegion region(::CreateRectRgn(0, 0, 0, 0));
    if (region && ::GetWindowRgn(bar->m_hWnd, region.get()) != ERROR) {
        const POINT at = BarScreenOrigin(bar);
        ::OffsetRgn(region.get(), at.x, at.y);
        FlashRegion(region.get());
        return;
    }
    RECT window = {};
    ::GetWindowRect(bar->m_hWnd, &window);
    tess::ScopedRegion whole(::CreateRectRgnIndirect(&window));
    FlashRegion(whole.get());
}

UINT TrackMenu(HMENU menu, POINT at) {
    HWND editor = Editor().window;
    Editor().context_menu_active = true;
    ::SetForegroundWindow(editor);
    const UINT id = static_cast<UINT>(::TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, at.x, at.y, 0, editor, nullptr));
    Editor().context_menu_active = false;
    return id;
}

void SaveBar(CVellumMenuObject* bar, bool ask) {
    BarHold hold(bar);
    bar->Save(!ask && bar->m_barFile[0] ? bar->m_barFile : nullptr);
}

void BarMenu(CVellumMenuObject* bar, POINT at) {
    tess::ScopedMenu menu(::CreatePopupMenu());
    ::AppendMenuA(menu.get(), MF_STRING, kSaveBar, "Save bar");
    ::AppendMenuA(menu.get(), MF_STRING, kSaveBarAs, "Save bar as...");
    ::AppendMenuA(menu.get(), MF_STRING, kCloseBar, "Close bar");
    ::AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu.get(), MF_STRING, kHilightBar, "Hilight bar");
    const UINT id = TrackMenu(menu.get(), at);
    // The bar may have gone while the menu showed.
    if (!id || !IsLiveBar(bar)) return;
    switch (id) {
    case kSaveBar: SaveBar(bar, false); break;
    case kSaveBarAs: SaveBar(bar, true); break;
    case kCloseBar: CloseEditorBar(bar); break;
    case kHilightBar: FlashBar(bar); break;
    default: ::PostMessageA(Editor().window, WM_COMMAND, id, 0); break;
    }
}

void SectionMenu(CVellumMenuSection* section, POINT at) {
    tess::ScopedMenu menu(::CreatePopupMenu());
    ::AppendMenuA(menu.get(), MF_STRING, kRemoveSection, "Remove Container");
    ::AppendMenuA(menu.get(), MF_STRING, kDuplicateSection, "Duplicate Container");
    ::AppendMenuA(menu.get(), MF_STRING, kHilightSection, "Hilight Container");
    const UINT id = TrackMenu(menu.get(), at);
    if (!id || !IsLiveSection(section)) return;
    switch (id) {
    case kRemoveSection: RemoveEditorSection(section); break;
    case kDuplicateSection: DuplicateSection(section); break;
    case kHilightSection: FlashBarRect(section->m_pBar, section->m_outerRect); break;
    default: ::PostMessageA(Editor().window, WM_COMMAND, id, 0); break;
    }
}

void ItemMenu(CVellumMenuItem* item, POINT at) {
    RECT rect = {};
    item->GetRealItemRect(&rect);
    tess::ScopedMenu menu(::CreatePopupMenu());
    ::AppendMenuA(menu.get(), MF_STRING, kRemoveItem, "Remove Item");
    ::AppendMenuA(menu.get(), MF_STRING, kDuplicateItem, "Duplicate Item");
    ::AppendMenuA(menu.get(), MF_STRING | (::IsRectEmpty(&rect) ? MF_GRAYED : 0), kHilightItem,
                  "Hilight Item");
    const UINT id = TrackMenu(menu.get(), at);
    if (!id || !IsLiveItem(item)) return;
    switch (id) {
    case kRemoveItem: RemoveEditorItem(item); break;
    case kDuplicateItem: DuplicateEditorItem(item); break;
    case kHilightItem:
        item->GetRealItemRect(&rect);
        if (item->m_pBar) FlashBarRect(item->m_pBar, rect);
        break;
    default: ::PostMessageA(Editor().window, WM_COMMAND, id, 0); break;
    }
}

// The node under the point, when the point is on its icon or text.
HTREEITEM NodeAt(POINT screen) {
    TVHITTESTINFO hit = {};
    hit.pt = screen;
    ::ScreenToClient(Editor().tree, &hit.pt);
    HTREEITEM node = reinterpret_cast<HTREEITEM>(
        ::SendMessageA(Editor().tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return node && (hit.flags & TVHT_ONITEM) ? node : nullptr;
}

}  // namespace

void OnEditorTreeContextMenu(WPARAM wp, LPARAM screen_point) {
    ThemeEditorState& e = Editor();
    if (e.context_menu_active) {
        ::EndMenu();
        ::PostMessageA(e.window, WM_CONTEXTMENU, wp, screen_point);
        return;
    }
    POINT at = {static_cast<short>(LOWORD(screen_point)), static_cast<short>(HIWORD(screen_point))};
    // From the keyboard: the menu of the selected node, below its text.
    if (screen_point == -1) ::GetCursorPos(&at);
    HTREEITEM node = NodeAt(at);
    if (!node) {
        ShowTrayMenu();
        return;
    }
    ::SendMessageA(e.tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
    if (IsEditorHeaderNode(node)) return;
    EditorNodeKind kind;
    void* object = EditorNodeObject(node);
    if (!object || !EditorNodeKindOf(node, &kind)) return;
    switch (kind) {
    case EditorNodeKind::Bar: BarMenu(static_cast<CVellumMenuObject*>(object), at); break;
    case EditorNodeKind::Section: SectionMenu(static_cast<CVellumMenuSection*>(object), at); break;
    case EditorNodeKind::Item: ItemMenu(static_cast<CVellumMenuItem*>(object), at); break;
    }
}
