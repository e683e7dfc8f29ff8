// CVellumMenuItem_SpecialMenu: construction and "Menu.Type", the provider,
// filling the menu as it opens, the menu messages and saving.
#include "types/special_menu_item.h"
#include <new>
#include "model/bar_file.h"
#include "model/resource_module.h"
#include "model/vellum_menu_object.h"
#include "shell/stats_monitor.h"
#include "skins/ini_section_reader.h"
#include "types/type_registration.h"
#include "util/icon_menu.h"
#include "util/profile_writer.h"
#include "util/text.h"

namespace {

constexpr int kFirstCommandId = 1;
// The running-applications menu: "Hide ...", "Hide Others", "Show All" and a
// separator come first; the windows follow from here.
constexpr int kFixedWindowListEntries = 3;

bool BarIsReadingFile(const CVellumMenuObject* bar) {
    return bar && bar->m_loadingSections && bar->m_sectionReader;
}

// The window last in the foreground as the stats monitor saw it.
HWND LastForegroundWindow() {
    CStatsMonitor* monitor = GetStatsMonitor();
    return monitor ? monitor->m_foreground : nullptr;
}

const ItemClassRegistration kSpecialMenuRegistration("SpecialMenu", MakeSpecialMenuItem);

}  // namespace

CVellumMenuItem* MakeSpecialMenuItem(CVellumMenuObject* bar, CVellumMenuSection* section,
                                     int itemNumber, const char*) {
    return new (std::nothrow) CVellumMenuItem_SpecialMenu(bar, section, itemNumber);
}

CVellumMenuItem_SpecialMenu::CVellumMenuItem_SpecialMenu(CVellumMenuObject* bar,
                                                         CVellumMenuSection* section,
                                                         int itemNumber)
    : CVellumMenuItem(bar, section, itemNumber, nullptr, -1),
      MenuType(kProgramsMenu),
      m_provider(nullptr),
      m_menuOpen(false),
      m_page(nullptr) {
    if (BarIsReadingFile(bar) && section && itemNumber > 0) {
        char key[kIniKeyNameSize];
        BuildString(key, const_cast<char*>("Menu.Type"));
        MenuType = bar->m_sectionReader->GetInt(key, kProgramsMenu);
    }
    CreateMenuProvider();
}

CVellumMenuItem_SpecialMenu::~CVellumMenuItem_SpecialMenu() {
    if (m_page && ::IsWindow(m_page)) ::DestroyWindow(m_page);
    if (m_provider) m_provider->Release();
    m_provider = nullptr;
}

void CVellumMenuItem_SpecialMenu::CreateMenuProvider() {
    if (m_provider) m_provider->Release();
    m_provider = nullptr;
    m_menuOpen = false;
    if (MenuType == kProgramsMenu)
        m_provider = new (std::nothrow) CShellFolderMenu(kFirstCommandId);
    else if (MenuType == kRunningApplicationsList)
        m_provider = new (std::nothrow) CWindowListMenu(kFirstCommandId);
}

void CVellumMenuItem_SpecialMenu::SetMenuType(int type) {
    MenuType = type;
    CreateMenuProvider();
}

// ---- the menu ----------------------------------------------------------------------------------

void CVellumMenuItem_SpecialMenu::FillProvider() {
    if (MenuType == kProgramsMenu) {
        auto* programs = static_cast<CShellFolderMenu*>(m_provider);
        programs->Reset();
        programs->SetProgramsFolders();
        programs->Fill();
    } else if (MenuType == kRunningApplicationsList) {
        auto* windows = static_cast<CWindowListMenu*>(m_provider);
        windows->Reset();
        windows->Fill(LastForegroundWindow());
        // The bar itself is no listed window; it joins the title order.
        if (m_pBar && m_pBar->m_hWnd) {
            windows->AddWindow(m_pBar->m_hWnd);
            windows->SortItems(windows->GetMenu(), kFixedWindowListEntries, -1);
        }
    }
}

HMENU CVellumMenuItem_SpecialMenu::GetPopupMenu() {
    if (!m_provider) return nullptr;
    // An open menu is not refilled under the user's pointer.
    if (!m_menuOpen) FillProvider();
    return m_provider->GetMenu();
}

int CVellumMenuItem_SpecialMenu::IsPopup() { return m_provider ? 1 : 0; }

void CVellumMenuItem_SpecialMenu::OnClick() { CVellumMenuItem::TrackPopupMenu(0); }

void CVellumMenuItem_SpecialMenu::InitMenu(HMENU) { m_menuOpen = m_provider != nullptr; }

void CVellumMenuItem_SpecialMenu::UnInitMenu(HMENU) { m_menuOpen = false; }

void CVellumMenuItem_SpecialMenu::ProcessMenuMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (!m_provider) return;
    switch (msg) {
    case WM_DRAWITEM: {
        auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        if (draw && draw->CtlType == ODT_MENU) m_provider->DrawItem(draw);
        return;
    }
    case WM_MEASUREITEM: {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        if (measure && measure->CtlType == ODT_MENU) m_provider->MeasureItem(measure);
        return;
    }
    case WM_COMMAND:
        if (HIWORD(wp) == 0) m_provider->HandleCommand(LOWORD(wp));
        return;
    case WM_INITMENUPOPUP:
        if (MenuType == kProgramsMenu)
            static_cast<CShellFolderMenu*>(m_provider)->OnInitMenuPopup(reinterpret_cast<HMENU>(wp));
        return;
    default:
        return;
    }
}

// ---- copies, names and saving ------------------------------------------------------------------

CVellumMenuItem* CVellumMenuItem_SpecialMenu::Duplicate() {
    auto* copy = new (std::nothrow) CVellumMenuItem_SpecialMenu(m_pBar, m_pSection, 0);
    if (!copy) return nullptr;
    Copy(copy, 0);
    copy->SetMenuType(MenuType);
    return copy;
}

int CVellumMenuItem_SpecialMenu::GetCustomItemName(char* out) {
    if (!out) return 0;
    tess::CopyText(out, 13, "Special Menu");
    return 1;
}

HICON CVellumMenuItem_SpecialMenu::GetCustomIcon() {
    HINSTANCE module = ResourceModuleOf(m_pBar);
    return static_cast<HICON>(
        ::LoadImageA(module, MAKEINTRESOURCEA(kSpecialMenuIconId), IMAGE_ICON, 16, 16, 0));
}

int CVellumMenuItem_SpecialMenu::SaveExternal() {
    if (!m_pBar) return 1;
    const char* file = m_pBar->m_barFile;
    char key[kIniKeyNameSize];
    BuildString(key, const_cast<char*>("Type"));
    tess::WriteProfileString(m_sectionName, key, "SpecialMenu", file);
    // A type this program does not know is written back as it was read.
    BuildString(key, const_cast<char*>("Menu.Type"));
    WriteIntSetting(MenuType, m_sectionName, key, file);
    return CVellumMenuItem::SaveExternal();
}
