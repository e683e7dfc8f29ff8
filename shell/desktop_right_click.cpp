#include "shell/desktop_right_click.h"

#include <cstring>
#include <new>

#include "model/live_objects.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "shell/global_settings.h"
#include "shell/main_window.h"
#include "shell/stats_monitor.h"
#include "shell/type_services.h"
#include "util/general_helpers.h"
#include "util/profile_writer.h"
#include "util/text.h"

namespace {

constexpr char kSection[] = "DesktopRightClickBars";
constexpr int kReadTitleSize = 300;   // read up to 299 characters, keep 199

struct DesktopHandler {
    HINSTANCE instance = nullptr;
    CVellumMenuObject* bar = nullptr;
    CVellumMenuItem* item = nullptr;
};
DesktopHandler g_handler;

struct DesktopBarList {
    char titles[kMaxDesktopRightClickBars][kDesktopBarTitleSize] = {};
    int count = 0;
};
DesktopBarList g_list;

// The handler item's listed bars are the theme's list; every change of the
// list is copied to it.
void CopyListToHandlerItem() {
    ShellTypeServices& services = GetShellTypeServices();
    if (!g_handler.item || !services.SetDesktopHandlerBars) return;
    const char* titles[kMaxDesktopRightClickBars];
    for (int i = 0; i < g_list.count; ++i) titles[i] = g_list.titles[i];
    services.SetDesktopHandlerBars(g_handler.item, titles, g_list.count);
}

// The handler bar sits (invisible, 10 x 10) at the point, with an empty
// item rectangle, so the listed bars open beside the point.
void PlaceHandlerBar(const POINT* point) {
    POINT at = {};
    if (point)
        at = *point;
    else
        GetCursorPos(&at);
    g_handler.bar->SetPos(at.x, at.y, 10, 10, nullptr, 0, 0, 0);
    SetRectEmpty(&g_handler.item->m_itemRect);
}

}  // namespace

// ---- the handler bar ------------------------------------------------------------------------------

void CreateDesktopRightClickBar(HINSTANCE instance) {
    CreateDesktopRightClickBarFor(instance, GetMainWindow());
}

void CreateDesktopRightClickBarFor(HINSTANCE instance, HWND main_window) {
    g_handler.instance = instance;
    if (g_handler.bar || !main_window) return;
    CVellumMenuObject::SetNextBarIsDesktopBar();
    CVellumMenuObject* bar = new (std::nothrow) CVellumMenuObject(main_window);
    // A bar that made no window leaves the desktop-class request pending:
    // the next bar must not take it.
    CVellumMenuObject::ClearNextBarIsDesktopBar();
    if (!bar) return;
    bar->m_internalBar = TRUE;
    bar->m_neverSave = TRUE;
    char title[] = "DesktopRightClickHandlerBar";
    bar->SetTitle(title);
    bar->AddSection(nullptr, -1, 0);
    CVellumMenuSection* section = bar->m_sections[0];
    if (section) {
        char type[] = "Popup";
        section->AddItem(type, -1, 0);
    }
    // The handler bar is never drawn: it has no skin.
    bar->ReleaseBarSkin();
    g_handler.bar = bar;
    CVellumMenuItem* item = section ? section->m_items[0] : nullptr;
    ShellTypeServices& services = GetShellTypeServices();
    if (item && services.MakeDesktopHandlerItem && services.MakeDesktopHandlerItem(item)) {
        g_handler.item = item;
        CopyListToHandlerItem();
    }
}

void FreeDesktopRightClickBar(int only_forget) {
    CVellumMenuObject* bar = g_handler.bar;
    g_handler.bar = nullptr;
    g_handler.item = nullptr;
    if (only_forget || !bar || !IsLiveBar(bar)) return;
    bar->m_neverSave = TRUE;
    bar->m_modified = FALSE;
    delete bar;
}

CVellumMenuObject* GetDesktopRightClickBar() { return g_handler.bar; }
CVellumMenuItem* GetDesktopRightClickItem() { return g_handler.item; }

void ShowDesktopRightClickMenu(const POINT* point) {
    ShellTypeServices& services = GetShellTypeServices();
    if (!g_handler.item || !g_handler.bar || !services.OpenDesktopHandlerItem) return;
    PlaceHandlerBar(point);
    services.OpenDesktopHandlerItem(g_handler.item, nullptr);
}

void ShowDesktopRightClickMenuAt(CVellumMenuObject* owner, const POINT* point) {
    ShellTypeServices& services = GetShellTypeServices();
    if (!g_handler.item || !g_handler.bar || !owner || !services.OpenDesktopHandlerItem) return;
    if (owner == g_handler.bar || !IsLiveBar(owner)) return;
    PlaceHandlerBar(point);
    services.OpenDesktopHandlerItem(g_handler.item, owner);
}

// ---- the theme's list -----------------------------------------------------------------------------

int GetDesktopRightClickBarCount() { return g_list.count; }

const char* GetDesktopRightClickBarTitle(int index) {
    return index >= 0 && index < g_list.count ? g_list.titles[index] : "";
}

bool AddDesktopRightClickBar(const char* title) {
    if (!title || !title[0] || g_list.count >= kMaxDesktopRightClickBars) return false;
    tess::CopyText(g_list.titles[g_list.count++], kDesktopBarTitleSize, title);
    CopyListToHandlerItem();
    return true;
}

bool RemoveDesktopRightClickBar(const char* title) {
    if (!title) return false;
    for (int i = 0; i < g_list.count; ++i) {
        if (std::strcmp(g_list.titles[i], title) != 0) continue;
        for (int j = i; j + 1 < g_list.count; ++j)
            std::memcpy(g_list.titles[j], g_list.titles[j + 1], kDesktopBarTitleSize);
        g_list.titles[--g_list.count][0] = '\0';
        CopyListToHandlerItem();
        return true;
    }
    return false;
}

void ClearDesktopRightClickBars() {
    for (int i = 0; i < g_list.count; ++i) g_list.titles[i][0] = '\0';
    g_list.count = 0;
    CopyListToHandlerItem();
}

void LoadDesktopRightClickBars(const char* theme_file) {
    ClearDesktopRightClickBars();
    for (int i = 1; theme_file && i <= kMaxDesktopRightClickBars; ++i) {
        char key[32], value[kReadTitleSize] = "";
        tess::FormatText(key, sizeof(key), "Bar#%i", i);
        GetPrivateProfileStringA(kSection, key, "", value, sizeof(value), theme_file);
        if (!value[0]) break;
        tess::CopyText(g_list.titles[g_list.count++], kDesktopBarTitleSize, value);
    }
    CopyListToHandlerItem();
    UpdateDesktopRightClickHook();
}

int SaveDesktopRightClickBars(const char* theme_file) {
    if (!theme_file) return 0;
    tess::WriteProfileString(kSection, nullptr, nullptr, theme_file);
    int written = 0;
    for (int i = 0; i < g_list.count && g_list.titles[i][0]; ++i) {
        char key[32];
        tess::FormatText(key, sizeof(key), "Bar#%i", i + 1);
        if (tess::WriteProfileString(kSection, key, g_list.titles[i], theme_file)) ++written;
    }
    return written;
}

void UpdateDesktopRightClickHook() {
    if (GetDesktopRClickingEnabled() && g_list.count > 0) {
        if (!GlobalFindAtomA(kDesktopRightClickAtom)) GlobalAddAtomA(kDesktopRightClickAtom);
    } else {
        DeleteGlobalAtoms(kDesktopRightClickAtom);
    }
    if (CStatsMonitor* monitor = GetStatsMonitor()) monitor->UpdateMouseHook();
}
