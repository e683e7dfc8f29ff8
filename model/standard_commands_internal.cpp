// Standard commands that act on the program itself: its main window's
// commands, the item's bar and sections, the theme's layers and switches,
// and the popup that opened the bar.
#include "model/standard_commands.h"

#include "model/bar_messages.h"
#include "model/item_host_calls.h"
#include "model/item_messages.h"
#include "model/live_objects.h"
#include "model/popup_item_calls.h"
#include "model/standard_commands_internal.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"

namespace stdcmd {

namespace {

// The main window's own command ids (WM_COMMAND).
constexpr WPARAM kMainUnload = 40008;
constexpr WPARAM kMainThemeEditor = 40009;
constexpr WPARAM kMainAbout = 40010;
constexpr WPARAM kMainRetrieveLostBars = 40021;

int PostToMain(const CommandContext& c, UINT msg, WPARAM wp) {
    return c.main && ::PostMessageA(c.main, msg, wp, 0) ? 1 : 0;
}

int ToggleSection(CVellumMenuSection* section) {
    if (!section) return 0;
    section->SetHidden(section->IsHidden ? 0 : 1);
    return 1;
}

void SendUpdateHiddenLayers(const CommandContext& c) {
    if (c.main) ::SendMessageA(c.main, GetItemMessages().UpdateHiddenLayers, 0, 0);
}

// The item is shown normal again and its bar looks at the pointer anew.
void BackToNormal(CVellumMenuItem* item) {
    item->SetState(kStateNormal, 0);
    if (item->m_pBar) item->m_pBar->ProcessMouseMessage(WM_MOUSEMOVE, 0, 0);
    if (IsLiveItem(item)) item->RedrawItem();
}

}  // namespace

int QuitTessellar(const CommandContext& c) {
    if (!c.main) return 0;
    CloseVolatileBarsFirst(c);
    return PostToMain(c, WM_COMMAND, kMainUnload);
}

int ShowThemeEditor(const CommandContext& c) {
    if (!c.main) return 0;
    ::SendMessageA(c.main, WM_COMMAND, kMainThemeEditor, 0);
    return 1;
}

int ToggleWindowsTaskbar(const CommandContext&) {
    const ItemHostCalls& host = GetItemHostCalls();
    if (!host.ToggleHideTaskbar) return 0;
    host.ToggleHideTaskbar();
    return 1;
}

int AboutTessellar(const CommandContext& c) { return PostToMain(c, WM_COMMAND, kMainAbout); }

int CloseThisBar(const CommandContext& c) {
    if (!c.bar) return 0;
    // The bar, and this item with it, may be gone when this returns.
    c.bar->Release();
    return 1;
}

int TogglePreviousSection(const CommandContext& c) {
    if (!c.bar || !c.item->m_pSection) return 0;
    return ToggleSection(c.bar->GetPreviousSection(c.item->m_pSection));
}

int ToggleNextSection(const CommandContext& c) {
    if (!c.bar || !c.item->m_pSection) return 0;
    return ToggleSection(c.bar->GetNextSection(c.item->m_pSection));
}

int RetrieveLostBars(const CommandContext& c) {
    return PostToMain(c, WM_COMMAND, kMainRetrieveLostBars);
}

int ToggleLayerHidden(const CommandContext& c) {
    const ItemHostCalls& host = GetItemHostCalls();
    if (!host.ToggleLayerHidden) return 0;
    const int layer = c.item->iLayerToActOn;
    const bool hidden = host.ToggleLayerHidden(layer) != 0;
    if (!hidden && c.item->bAttachLayer) c.item->PlaceLayerBesideItem(layer, 0);
    SendUpdateHiddenLayers(c);
    return 1;
}

int ToggleLayerVolatile(const CommandContext& c) {
    const ItemHostCalls& host = GetItemHostCalls();
    if (!host.ToggleLayerVolatile) return 0;
    host.ToggleLayerVolatile(c.item->iLayerToActOn);
    SendUpdateHiddenLayers(c);
    return 1;
}

int ToggleTimeFiltering(const CommandContext& c) {
    const ItemHostCalls& host = GetItemHostCalls();
    if (!host.ToggleSystrayTimeFiltering) return 0;
    host.ToggleSystrayTimeFiltering();
    BackToNormal(c.item);
    PostToMain(c, GetItemMessages().TimeFilteringChanged, 0);
    return 1;
}

int ToggleAutoHide(const CommandContext& c) {
    CVellumMenuObject* bar = c.bar;
    if (!bar) return 0;
    bar->UseAutohide = bar->UseAutohide ? FALSE : TRUE;
    bar->UpdatePos();
    bar->AutoHide(bar->UseAutohide, 1);
    bar->SetModified();
    return 1;
}

int CloseRelatedPopups(const CommandContext& c) {
    CVellumMenuObject* bar = c.bar;
    if (!bar) return 0;
    CVellumMenuItem* opener = bar->m_owningPopupItem;
    if (opener && IsLiveItem(opener)) {
        const PopupItemCalls& calls = GetPopupItemCalls();
        if (calls.CloseListedBars) calls.CloseListedBars(opener);
        BackToNormal(opener);
        CVellumMenuObject* opener_bar = IsLiveItem(opener) ? opener->m_pBar : nullptr;
        if (opener_bar && opener_bar->m_hWnd) ::SetForegroundWindow(opener_bar->m_hWnd);
    } else if (c.main) {
        ::SetForegroundWindow(c.main);
    }
    if (c.main) ::SendMessageA(c.main, GetItemMessages().VolatileClose, 0, 0);
    return 1;
}

int ShowThemeBrowser(const CommandContext&) {
    const ItemHostCalls& host = GetItemHostCalls();
    if (!host.ShowThemeBrowser) return 0;
    host.ShowThemeBrowser();
    return 1;
}

}  // namespace stdcmd
