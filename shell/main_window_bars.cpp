// Work on bars, sections and items that messages to the main window name.
// Any process can post those messages, so each pointer is first found among
// the live objects of this process; anything else is ignored untouched.
#include "model/live_objects.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "shell/desktop_integration.h"
#include "shell/theme_editor.h"
#include "shell/type_services.h"
#include "shell/main_window_internal.h"
#include "shell/wizard_framework.h"
#include "util/bar_registry.h"
#include "model/bar_hold.h"

namespace {


void RelayoutAfterRemoval(CVellumMenuObject* bar) {
    bar->SetModified();
    bar->RecalcRects(kRecalcNoRedraw, kRecalcUpdatePos);
    bar->UpdatePos();
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
}

struct AfterWindowSearch {
    HWND asking;
    int asking_order;
    HWND best;
    int best_order;
    HWND snapshot;
};

BOOL CALLBACK AfterWindowProc(HWND wnd, LPARAM user) {
    auto* s = reinterpret_cast<AfterWindowSearch*>(user);
    CVellumMenuObject* bar = LiveBarOfWindow(wnd);
    if (!bar) return TRUE;
    if (wnd == s->asking) {
        s->snapshot = s->best;
        return TRUE;
    }
    const int order = bar->AlwaysOnTopOrder;
    if (IsWindowVisible(wnd) && bar->AlwaysOnTop && order > 0 &&
        (s->asking_order == 0 || order < s->asking_order)) {
        if (!s->best || s->best_order < order) {
            s->best = wnd;
            s->best_order = order;
        }
    }
    return TRUE;
}

BOOL CALLBACK FindLVSkinBar(HWND wnd, LPARAM user) {
    CVellumMenuObject* bar = LiveBarOfWindow(wnd);
    if (bar && bar->UseLVSkin) {
        *reinterpret_cast<bool*>(user) = true;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

CVellumMenuObject* LiveBarFromMessage(WPARAM wp) {
    void* p = reinterpret_cast<void*>(wp);
    return p && IsLiveBar(p) ? static_cast<CVellumMenuObject*>(p) : nullptr;
}

bool IsLiveObjectFromMessage(WPARAM wp) {
    const void* p = reinterpret_cast<const void*>(wp);
    return p && (IsLiveBar(p) || IsLiveSection(p) || IsLiveItem(p));
}

bool BarStillCountsAsOpen(CVellumMenuObject* bar) {
    return bar->SetAsHidden || bar->bHideBarUntilHotkey || bar->m_layerHidden ||
           bar->m_associatedPopupItem != nullptr;
}

LRESULT ConfigurePluginFromMessage(WPARAM wp) {
    void* p = reinterpret_cast<void*>(wp);
    if (!p || !IsLiveItem(p)) return 0;
    auto* item = static_cast<CVellumMenuItem*>(p);
    CVellumMenuObject* bar = item->m_pBar;
    BarHold hold(bar);
    // The sequence may replace the item (and renews the forwarding entry of
    // the one in its place); the bar may have closed meanwhile.
    ConfigurePluginItem(item);
    if (bar && IsLiveBar(bar)) {
        bar->SetModifiedSilent();
        bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    }
    return 1;
}

namespace {

// Frees an item that no section holds. Its bar may have closed meanwhile:
// then the item forgets it, so that its destructor touches nothing gone.
void DropOrphanItem(CVellumMenuItem* item) {
    if (!IsLiveBar(item->m_pBar)) item->UpdateParents(nullptr, nullptr);
    delete item;
}

}  // namespace

void RemoveItemFromMessage(WPARAM wp) {
    void* p = reinterpret_cast<void*>(wp);
    if (!p || !IsLiveItem(p)) return;
    auto* item = static_cast<CVellumMenuItem*>(p);
    // Its wizard's pages still use it: the removal comes again afterwards.
    if (HoldItemRemovalDuringWizard(item)) return;
    CVellumMenuSection* section = item->m_pSection;
    if (!section) return;
    CVellumMenuObject* bar = item->m_pBar ? item->m_pBar : section->m_pBar;
    BarHold hold(bar);
    RemoveEditorNode(item);
    section->RemoveItem(item, 1);
    if (bar) RelayoutAfterRemoval(bar);
}

void RemoveSectionFromMessage(WPARAM wp) {
    void* p = reinterpret_cast<void*>(wp);
    if (!p || !IsLiveSection(p)) return;
    auto* section = static_cast<CVellumMenuSection*>(p);
    CVellumMenuObject* bar = section->m_pBar;
    if (!bar) return;
    BarHold hold(bar);
    RemoveEditorNode(section);
    bar->RemoveSection(section, 1);
    RelayoutAfterRemoval(bar);
}

LRESULT SwapItemsFromMessage(WPARAM old_wp, LPARAM new_lp) {
    void* old_p = reinterpret_cast<void*>(old_wp);
    void* new_p = reinterpret_cast<void*>(new_lp);
    // The new item is not in a section yet: only a record this program
    // allocated and registered for the hand-over is accepted.
    if (!IsOwnedRecord(new_p)) return 0;
    UnregisterOwnedRecord(new_p);
    auto* new_item = static_cast<CVellumMenuItem*>(new_p);
    if (!IsLiveItem(old_p)) {
        // The old item went while the swap waited: nobody else frees the new one.
        DropOrphanItem(new_item);
        return 0;
    }
    auto* old_item = static_cast<CVellumMenuItem*>(old_p);
    CVellumMenuObject* bar = old_item->m_pBar;
    CVellumMenuSection* section = old_item->m_pSection;
    BarHold hold(bar);
    SuspendEditorPageRedraw(true);
    RemoveEditorNode(old_item);
    if (bar) bar->SetModified();
    new_item->UpdateParents(bar, section);
    old_item->Copy(new_item, 1);
    if (section) {
        // A full section refuses the new item: keep the old one, drop the new.
        if (section->InsertItem(old_item, new_item)) {
            section->RemoveItem(old_item, 1);
        } else {
            delete new_item;
            new_item = old_item;
        }
    }
    if (bar) bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    SuspendEditorPageRedraw(false);
    SelectEditorNode(AddItemToEditorTree(new_item, nullptr, 1), 0);
    return 1;
}

LRESULT FindWindowAfterOnTop(HWND asking, int asking_order) {
    if (IsFullScreenAppActive()) return 0;
    AfterWindowSearch s = {asking, asking_order, nullptr, 0, nullptr};
    EnumWindows(AfterWindowProc, reinterpret_cast<LPARAM>(&s));
    return s.best == s.snapshot ? 0 : reinterpret_cast<LRESULT>(s.best);
}

bool AnyBarUsesLVSkin() {
    bool found = false;
    EnumBarWindows(FindLVSkinBar, reinterpret_cast<LPARAM>(&found));
    return found;
}
