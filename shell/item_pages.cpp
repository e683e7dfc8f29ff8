// Opening an item's pages and rebuilding its Display page when the display
// mode changes.
#include "shell/item_pages.h"

#include "model/item_host_calls.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "shell/item_pages_resources.h"

namespace {

// A child of the host that is some object's page.
bool IsPageWindow(HWND window) {
    return PageObject(window, PageObjectKind::kItem) || PageObject(window, PageObjectKind::kSection) ||
           PageObject(window, PageObjectKind::kBar);
}

void ShowInPlaceOf(HWND page, HWND old_page, HWND parent) {
    RECT r = {};
    ::GetWindowRect(old_page, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    ::SetWindowPos(page, HWND_TOP, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (child != page && IsPageWindow(child)) ::ShowWindow(child, SW_HIDE);
}

}  // namespace

HINSTANCE ItemPagesModule() { return ::GetModuleHandleA(nullptr); }

void MarkItemBarModified(CVellumMenuItem* item) {
    if (item && item->m_pBar) item->m_pBar->SetModified();
}

void RelayoutItemBar(CVellumMenuItem* item) {
    if (item && item->m_pBar) item->m_pBar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
}

int DisplayPageTemplate(const CVellumMenuItem* item) {
    if (item->DisplayAsBitmap) return IDD_ITEM_DISPLAY_BITMAP;
    if (item->Separator) return IDD_ITEM_DISPLAY_SEPARATOR;
    if (item->ShowIcon) return IDD_ITEM_DISPLAY_ICON;
    return IDD_ITEM_DISPLAY_TEXT;
}

HWND OpenItemPage(CVellumMenuItem* item, int page, HWND parent) {
    if (!item) return nullptr;
    switch (page) {
    case kItemDisplayPage:
        return ConfigPage::Open(NewDisplayPage(item), ItemPagesModule(), DisplayPageTemplate(item), parent);
    case kItemBehaviorPage:
        return ConfigPage::Open(NewBehaviorPage(item), ItemPagesModule(), IDD_ITEM_BEHAVIOR, parent);
    case kItemHotkeyPage:
        return ConfigPage::Open(NewHotkeyPage(item), ItemPagesModule(), IDD_ITEM_HOTKEY, parent);
    default:
        return nullptr;
    }
}

int RebuildDisplayPage(CVellumMenuItem* item, int focus) {
    ConfigPageSlots slots = PageSlotsOf(item);
    HWND old_page = slots.Page(kItemDisplayPage);
    if (!old_page) return 0;
    item->SetEditorNodeTitle();
    HWND parent = ::GetParent(old_page);
    const bool visible = ::IsWindowVisible(old_page) != FALSE;
    slots.Put(kItemDisplayPage, nullptr);
    HWND page = item->CallConfigDialog(parent);
    if (page && visible) {
        ShowInPlaceOf(page, old_page, parent);
        if (focus) ::SetFocus(::GetDlgItem(page, IDC_DISPLAY_MODE));
    }
    // The old page may be the caller of this rebuild: it goes once its
    // message has returned, without touching the slot.
    ::PostMessageA(old_page, WM_CLOSE, 0, 0);
    return 1;
}

void InstallItemPages() {
    ItemHostCalls& host = GetItemHostCalls();
    host.OpenItemPage = OpenItemPage;
    host.RefreshVisiblePropPage = RebuildDisplayPage;
}
