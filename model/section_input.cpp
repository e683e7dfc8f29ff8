// A section's input: clicks, double clicks and right clicks on its items,
// Alt-drag, the scroll arrows with their press-repeat, the menu of hidden
// items, grips, hiding, and passing menu and registered messages to items.
#include "model/bar_input_internal.h"
#include "model/bar_host.h"
#include "model/bar_messages.h"
#include "model/live_objects.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "skins/skin_record.h"
#include "util/general_helpers.h"
#include "util/icon_menu.h"
#include "model/bar_hold.h"

namespace {

// Set by a double click that a section handled, so that the release after
// it is a double click; cleared by a press and after that release.
int g_double_click = 0;


bool ArrowGrayed(CVellumMenuItem* arrow) { return !arrow || arrow->m_typeWord == 3; }

}  // namespace

// ---- grips -------------------------------------------------------------------------------

void CVellumMenuSection::GetGripRect(RECT* out) {
    SkinRecord* skin = m_skinSlot ? *m_skinSlot : nullptr;
    if (!out || !skin || !m_pBar) return;
    *out = m_outerRect;
    int style = iSectionSkin >= 0 && iSectionSkin < kMaxSectionStyles ? iSectionSkin : 0;
    int grip = skin->GripWidth[style];
    if (m_pBar->DisplayVertically) {
        if (out->top + grip < out->bottom) out->bottom = out->top + grip;
    } else {
        if (out->left + grip < out->right) out->right = out->left + grip;
    }
}

int CVellumMenuSection::IsInGripSection(POINT pt) {
    if (IsHidden || !::PtInRect(&m_outerRect, pt)) return 0;
    RECT grip = {};
    GetGripRect(&grip);
    if (::PtInRect(&grip, pt)) return 1;
    RECT title = m_titleRect;
    ::OffsetRect(&title, m_outerRect.left, m_outerRect.top);
    if (::PtInRect(&title, pt)) return 1;
    for (int i = 0; i < kMaxItems && m_items[i]; ++i) {
        CVellumMenuItem* item = m_items[i];
        if (!item->Separator || !item->IsSectionAnchor) continue;
        RECT rect;
        item->GetRealItemRect(&rect);
        if (::PtInRect(&rect, pt)) return 1;
    }
    return 0;
}

void CVellumMenuSection::SetLastGripPoint(POINT pt) {
    RECT grip = m_outerRect;
    GetGripRect(&grip);
    m_gripPoint = {pt.x - grip.left, pt.y - grip.top};
}

void CVellumMenuSection::GetLastGripPoint(POINT* out) {
    if (!out) return;
    RECT grip = m_outerRect;
    GetGripRect(&grip);
    *out = {grip.left + m_gripPoint.x, grip.top + m_gripPoint.y};
}

int CVellumMenuSection::DragDetectAtCursor(HWND wnd, int, int) {
    if (!wnd) return 0;
    POINT cursor;
    ::GetCursorPos(&cursor);
    return ::DragDetect(wnd, cursor) ? 1 : 0;
}

// ---- scrolling -----------------------------------------------------------------------------

int CVellumMenuSection::ArrowL(int redraw) {
    if (ArrowGrayed(m_leftArrow) || m_firstShownItem <= 0) return 0;
    --m_firstShownItem;
    SetWidth(m_userWidth);
    if (m_pBar) m_pBar->RecalcRects(redraw, kRecalcUpdatePos);
    return 1;
}

int CVellumMenuSection::ArrowR(int redraw) {
    int last = GetNumOfItems() - 1;
    if (ArrowGrayed(m_rightArrow) || m_firstShownItem >= last) return 0;
    ++m_firstShownItem;
    if (m_firstShownItem > last) m_firstShownItem = last;
    SetWidth(m_userWidth);
    if (m_pBar) m_pBar->RecalcRects(redraw, kRecalcUpdatePos);
    return 1;
}

// ---- redrawing and hiding -------------------------------------------------------------------

int CVellumMenuSection::RedrawSection() {
    if (IsHidden || !m_pBar || m_pBar->m_loading) return 0;
    if (!m_pBar->m_hWnd || !::IsWindowVisible(m_pBar->m_hWnd)) return 0;
    RECT outer = m_outerRect;
    m_pBar->UpdateToDrawBitmap(this, nullptr, &outer);
    return 1;
}

// ---- mouse ------------------------------------------------------------------------------------

namespace {

// An item dragged to another place (Alt-drag, or a bar that drags without it).
void DragItem(CVellumMenuObject* bar, CVellumMenuItem* item) {
    item->SetState(kStateSelected, 0);
    item->RedrawItem();
    DragItemWithMouse(item);
    if (!IsLiveItem(item)) return;
    item->SetState(kStateNormal, 0);
    bar->ProcessMouseMessage(WM_MOUSEMOVE, 0, 0);
    if (IsLiveItem(item)) item->RedrawItem();
}

void ShowHiddenItemsMenu(CVellumMenuSection* section);

void OnItemPress(CVellumMenuSection* section, CVellumMenuItem* item, UINT msg) {
    CVellumMenuObject* bar = section->m_pBar;
    BarHold hold(bar);
    if (item == section->m_leftArrow) {
        section->ArrowL(1);
        return;
    }
    if (item == section->m_rightArrow) {
        section->ArrowR(1);
        return;
    }
    if (item == section->m_downArrow) {
        ShowHiddenItemsMenu(section);
        return;
    }
    if (::GetKeyState(VK_MENU) < 0 && section->DragDetectAtCursor(bar->m_hWnd, 0, 0)) {
        DragItem(bar, item);
        return;
    }
    if (!g_double_click) {
        if (item->TrackPopupMenu(0)) bar->StartClickIgnoreDelay();
        // The popup ran a modal loop: the item may be gone.
        if (!IsLiveItem(item)) return;
        if (!g_double_click) {
            bar->StartTracking(item, 0);
            if (IsLiveSection(section)) section->RedrawSection();
        }
    } else if (item->TrackPopupMenuDoubleClick()) {
        bar->StartClickIgnoreDelay();
    }
    if (!IsLiveItem(item)) return;
    if (item->TryNoAltDrag() && msg == WM_LBUTTONDOWN) {
        if (IsLiveSection(section) && section->DragDetectAtCursor(bar->m_hWnd, 0, 0))
            DragItem(bar, item);
        else
            bar->ProcessMouseMessage(WM_LBUTTONUP, 0, 0);
    }
}

void OnItemRelease(CVellumMenuSection* section, CVellumMenuItem* item) {
    CVellumMenuObject* bar = section->m_pBar;
    BarHold hold(bar);
    if (g_double_click)
        item->OnDblClick();
    else
        item->OnClick();
    g_double_click = 0;
    if (!IsLiveItem(item)) return;
    item->SetState(kStateClicked, 0);
    item->SetState(ItemIsMouseReallyOver(item) ? kStateMouseOver : kStateNormal, 0);
    bar->ProcessMouseMessage(WM_MOUSEMOVE, 0, 0);
}

void OnHiddenItemsMenuRightClick(CVellumMenuSection* section);

}  // namespace

void CVellumMenuSection::ProcessMouseMessage(UINT msg, WPARAM, LPARAM, POINT pt, int* handled) {
    if (IsHidden || !m_pBar) return;
    CVellumMenuObject* bar = m_pBar;
    bool busy = bar->m_mouseCaptured || bar->m_moving || bar->m_resizeEdge;
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (msg == WM_LBUTTONDOWN) g_double_click = 0;
        if (busy || !::PtInRect(&m_innerRect, pt)) return;
        CVellumMenuItem* item = HitTestItems(pt);
        if (!item) return;
        if (msg == WM_LBUTTONDBLCLK) g_double_click = 1;
        OnItemPress(this, item, msg);
        return;
    }
    case WM_LBUTTONUP: {
        if (busy || !::PtInRect(&m_innerRect, pt)) return;
        if (CVellumMenuItem* item = HitTestItems(pt)) OnItemRelease(this, item);
        return;
    }
    case WM_RBUTTONUP: {
        if (!::PtInRect(&m_innerRect, pt)) return;
        if (CVellumMenuItem* item = HitTestSection(pt)) item->OnRClick(handled);
        return;
    }
    case WM_CONTEXTMENU:
        OnHiddenItemsMenuRightClick(this);
        return;
    default:
        return;
    }
}

// ---- the menu of hidden items -----------------------------------------------------------------

namespace {

void ShowHiddenItemsMenu(CVellumMenuSection* section) {
    CVellumMenuObject* bar = section->m_pBar;
    if (!bar || !bar->m_hWnd || section->m_hiddenItemsMenu || !section->m_downArrow) return;
    BarHold hold(bar);
    auto* menu = new CIconMenu();
    for (int i = 0; i < kMaxItems && section->m_items[i]; ++i) {
        CVellumMenuItem* item = section->m_items[i];
        if (!::IsRectEmpty(&item->m_itemRect)) continue;
        if (!item->m_icon1) {
            item->RefreshIcon();
            if (item->m_iconOnDemand && !item->m_iconAsked) item->m_icon1.Own(tess::ScopedIcon(item->IconCallback(1)));
        }
        HMENU popup = item->GetPopupMenu();
        IconMenuItemData data = {-1, item->m_icon1 ? DuplicateIcon(item->m_icon1.get()) : nullptr,
                                 popup && ::GetMenuItemCount(popup) > 0 ? 1 : 0, item};
        menu->AppendItem(item->m_title, &data);
    }
    menu->AttachToWindow(bar->m_hWnd);
    section->m_hiddenItemsMenu = menu;
    section->m_hiddenItemsMenuHandle = menu->GetMenu();

    RECT arrow;
    section->m_downArrow->GetRealItemRect(&arrow);
    RECT window;
    ::GetWindowRect(bar->m_hWnd, &window);
    UINT chosen = static_cast<UINT>(::TrackPopupMenu(menu->GetMenu(), TPM_RETURNCMD | TPM_NONOTIFY,
                                                     window.left + arrow.right,
                                                     window.top + arrow.bottom, 0, bar->m_hWnd,
                                                     nullptr));
    // The menu ran a modal loop; the section or the chosen item may be gone.
    bool section_alive = IsLiveSection(section);
    if (chosen && section_alive) {
        IconMenuItemData* data = menu->FindItemData(nullptr, chosen, false, false);
        auto* item = data ? static_cast<CVellumMenuItem*>(data->payload) : nullptr;
        if (item && IsLiveItem(item) && item->m_pSection == section) {
            if (!item->TrackPopupMenu(0) && IsLiveItem(item)) item->OnClick();
        }
    }
    menu->DetachFromWindow();
    menu->Release();
    if (IsLiveSection(section)) {
        section->m_hiddenItemsMenu = nullptr;
        section->m_hiddenItemsMenuHandle = nullptr;
    }
}

void OnHiddenItemsMenuRightClick(CVellumMenuSection* section) {
    HMENU handle = section->m_hiddenItemsMenuHandle;
    auto* menu = static_cast<CIconMenu*>(section->m_hiddenItemsMenu);
    if (!handle || !menu || !section->m_pBar) return;
    POINT cursor;
    ::GetCursorPos(&cursor);
    int count = ::GetMenuItemCount(handle);
    for (int i = 0; i < count; ++i) {
        RECT rect;
        if (!::GetMenuItemRect(section->m_pBar->m_hWnd, handle, i, &rect) || !::PtInRect(&rect, cursor))
            continue;
        IconMenuItemData* data = menu->FindItemData(handle, i, true, false);
        auto* item = data ? static_cast<CVellumMenuItem*>(data->payload) : nullptr;
        int one = 1;
        if (item && IsLiveItem(item)) item->OnRClick(&one);
        return;
    }
}

}  // namespace

namespace {

void OnPressRepeatTimer(CVellumMenuSection* section, WPARAM id) {
    CVellumMenuObject* bar = section->m_pBar;
    if (!bar || !bar->m_gripTimerId || id != static_cast<WPARAM>(bar->m_gripTimerId)) return;
    if (!bar->m_gripTimerRunning || bar->m_mouseCaptured) return;
    bool has_arrow = (section->m_leftArrow && !::IsRectEmpty(&section->m_leftArrow->m_itemRect)) ||
                     (section->m_rightArrow && !::IsRectEmpty(&section->m_rightArrow->m_itemRect));
    if (!has_arrow) return;
    if (::GetKeyState(VK_LBUTTON) >= 0) {
        ::KillTimer(bar->m_hWnd, bar->m_gripTimerId);
        bar->m_gripTimerRunning = FALSE;
        return;
    }
    POINT pt = BarCursorPoint(bar);
    RECT rect;
    if (section->m_leftArrow) {
        section->m_leftArrow->GetRealItemRect(&rect);
        if (::PtInRect(&rect, pt)) {
            section->ArrowL(1);
            return;
        }
    }
    if (section->m_rightArrow) {
        section->m_rightArrow->GetRealItemRect(&rect);
        if (::PtInRect(&rect, pt)) section->ArrowR(1);
    }
}

}  // namespace

// ---- menu and registered messages ---------------------------------------------------------------

void CVellumMenuSection::ProcessMenuMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (!m_pBar) return;
    CVellumMenuItem* open = m_pBar->m_tracking.last_pressed_item;
    int first = m_firstShownItem < 0 ? 0 : m_firstShownItem;
    for (int i = first; open && i < kMaxItems && m_items[i]; ++i) {
        if (m_items[i] == open) {
            open->ProcessMenuMessage(msg, wp, lp);
            return;
        }
    }
}

void CVellumMenuSection::ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp) {
    int first = m_firstShownItem < 0 ? 0 : m_firstShownItem;
    for (int i = first; i < kMaxItems && m_items[i]; ++i) m_items[i]->ProcessUserMessage(msg, wp, lp);
    if (msg == WM_TIMER) {
        if (wp == m_transitionTimerId && m_transitionRunning) UpdateTransitions(wp);
        OnPressRepeatTimer(this, wp);
    }
    if (msg == GetBarMessages().ThemeClosingCheckModified && IsHidden != m_isHiddenAsRead && m_pBar)
        m_pBar->SetModified();
}

// ---- the item's base drag rule ------------------------------------------------------------------

int CVellumMenuItem::TryNoAltDrag() {
    CVellumMenuObject* bar = m_pBar;
    if (!bar) return 0;
    if (bar->m_volatile || bar->m_tornOff) return 1;
    const BarHostServices& host = GetBarHostServices();
    int layer = bar->AlwaysOnTopOrder;
    if (layer >= 1 && layer <= 9 && host.IsLayerVolatile && host.IsLayerVolatile(layer)) return 1;
    return 0;
}
