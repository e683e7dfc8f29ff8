// The property pages of bars and sections as the model offers them: each
// page is made by the pages module through the host's table (a missing entry
// gives no page), and pages whose template follows the bar's orientation are
// made again when it changes.
#include "model/bar_host.h"
#include "model/bar_placement.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"

namespace {

HWND OpenBarPage(CVellumMenuObject* bar, int slot, HWND parent) {
    const BarHostServices& host = GetBarHostServices();
    return host.OpenBarPage ? host.OpenBarPage(bar, slot, parent) : nullptr;
}

HWND OpenSectionPage(CVellumMenuSection* section, int slot, HWND parent) {
    const BarHostServices& host = GetBarHostServices();
    return host.OpenSectionPage ? host.OpenSectionPage(section, slot, parent) : nullptr;
}

// Closes the page in the slot (IDOK) and, when it was showing, makes it
// again through open in the same place.
template <typename Open>
void ReopenPage(HWND page, Open open) {
    if (!page || !::IsWindow(page)) return;
    const bool visible = ::IsWindowVisible(page) != FALSE;
    HWND parent = ::GetParent(page);
    RECT place = {};
    ::GetWindowRect(page, &place);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    ::SendMessageA(page, WM_COMMAND, IDOK, 0);
    if (!visible) return;
    HWND fresh = open(parent);
    if (!fresh) return;
    ::SetWindowPos(fresh, nullptr, place.left, place.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(fresh, SW_SHOW);
}

}  // namespace

// ---- the bar's pages -----------------------------------------------------------------------------
HWND CVellumMenuObject::CallConfigDialog(HWND parent) {
    return OpenBarPage(this, kBarDisplayPage, parent);
}
HWND CVellumMenuObject::CallConfigDialogEx(HWND parent) {
    return OpenBarPage(this, kBarSizingPage, parent);
}
HWND CVellumMenuObject::CallConfigDialogAdv(HWND parent) {
    return OpenBarPage(this, kBarAdvancedPage, parent);
}
HWND CVellumMenuObject::CallConfigDialogExtra(HWND parent) {
    return OpenBarPage(this, kBarExtraPage, parent);
}
HWND CVellumMenuObject::CallConfigDialogKeyboard(HWND parent) {
    return OpenBarPage(this, kBarHotkeyPage, parent);
}

int CVellumMenuObject::ObjectExGUI_UpdateValues(int toControls) {
    const BarHostServices& host = GetBarHostServices();
    return host.ExchangeBarSizeRules ? host.ExchangeBarSizeRules(this, toControls) : 0;
}

// ---- the section's pages -----------------------------------------------------------------------
HWND CVellumMenuSection::CallConfigDialog(HWND parent) {
    return OpenSectionPage(this, kSectionDisplayPage, parent);
}
HWND CVellumMenuSection::CallConfigDialog2(HWND parent) {
    return OpenSectionPage(this, kSectionArrangementPage, parent);
}
HWND CVellumMenuSection::CallConfigDialogEx(HWND parent) {
    return OpenSectionPage(this, kSectionBehaviorPage, parent);
}
HWND CVellumMenuSection::CallConfigDialogExtra(HWND parent) {
    return OpenSectionPage(this, kSectionExtraPage, parent);
}

// ---- orientation --------------------------------------------------------------------------------
void ReopenPagesForOrientation(CVellumMenuObject* bar) {
    if (!bar) return;
    ReopenPage(bar->m_pages[kBarDisplayPage],
               [bar](HWND parent) { return bar->CallConfigDialog(parent); });
    for (int i = 0; i < kMaxSections && bar->m_sections[i]; ++i) {
        CVellumMenuSection* section = bar->m_sections[i];
        ReopenPage(section->m_pages[kSectionArrangementPage],
                   [section](HWND parent) { return section->CallConfigDialog2(parent); });
    }
}

void CVellumMenuObject::RetitleEditorNode() {
    const BarHostServices& host = GetBarHostServices();
    if (host.RetitleBarInThemeEditor) host.RetitleBarInThemeEditor(this, Title);
}
