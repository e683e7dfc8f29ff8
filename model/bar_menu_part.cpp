// The bar's part of its context menu: the "Bar Options" submenu (menu 124)
// grafted in place of the entry 40138 with its marks set from the bar's
// settings, the bar's commands, and undoing the part when the menu closed.
#include "model/bar_host.h"
#include "model/bar_menu_host_calls.h"
#include "model/bar_menu_resources.h"
#include "model/item_host_calls.h"
#include "model/item_menu_resources.h"
#include "model/menu_edit.h"
#include "model/menu_header_text.h"
#include "model/resource_module.h"
#include "model/vellum_menu_object.h"
#include "skins/skin_record.h"
#include "util/text.h"

namespace {

void MarkDocking(HMENU docking, const CVellumMenuObject& bar) {
    if (!docking) return;
    UINT checked = IDM_BAR_DOCK_NONE;
    if (bar.DisplayVertically) {
        ::DeleteMenu(docking, IDM_BAR_DOCK_TOP, MF_BYCOMMAND);
        ::DeleteMenu(docking, IDM_BAR_DOCK_BOTTOM, MF_BYCOMMAND);
        if (bar.DockToEdge == kEdgeLeft) checked = IDM_BAR_DOCK_LEFT;
        if (bar.DockToEdge == kEdgeRight) checked = IDM_BAR_DOCK_RIGHT;
    } else {
        ::DeleteMenu(docking, IDM_BAR_DOCK_LEFT, MF_BYCOMMAND);
        ::DeleteMenu(docking, IDM_BAR_DOCK_RIGHT, MF_BYCOMMAND);
        if (bar.DockToEdge == kEdgeTop) checked = IDM_BAR_DOCK_TOP;
        if (bar.DockToEdge == kEdgeBottom) checked = IDM_BAR_DOCK_BOTTOM;
    }
    menu_edit::Check(docking, checked, TRUE);
    if (!bar.UseAutohide)
        menu_edit::DeleteWithSeparatorBefore(docking, IDM_BAR_IGNORE_SKIN_AUTOHIDE);
    else
        menu_edit::Check(docking, IDM_BAR_IGNORE_SKIN_AUTOHIDE, bar.bIgnoreSkinAutohideSettings);
}

void ShowCurrentSkin(HMENU menu, const CVellumMenuObject& bar) {
    char text[kSkinNameSize + 32];
    tess::FormatText(text, sizeof(text), "CurrentSkin: %s", bar.m_skin ? bar.m_skin->SkinName : "");
    ::ModifyMenuA(menu, IDM_BAR_CURRENT_SKIN, MF_BYCOMMAND | MF_STRING | MF_DISABLED | MF_GRAYED,
                  IDM_BAR_CURRENT_SKIN, text);
}

// The docking entry's edge, or -2 when id is none of them.
int DockEdgeOf(int id) {
    switch (id) {
    case IDM_BAR_DOCK_NONE: return kEdgeNone;
    case IDM_BAR_DOCK_TOP: return kEdgeTop;
    case IDM_BAR_DOCK_BOTTOM: return kEdgeBottom;
    case IDM_BAR_DOCK_LEFT: return kEdgeLeft;
    case IDM_BAR_DOCK_RIGHT: return kEdgeRight;
    default: return -2;
    }
}

bool EdgeFitsOrientation(int edge, BOOL vertical) {
    if (edge == kEdgeNone) return true;
    const bool side = edge == kEdgeLeft || edge == kEdgeRight;
    return vertical ? side : !side;
}

void QuotedSkinPath(const char* path, char* out, size_t size) {
    tess::FormatText(out, size, "\"%s\"", path);
}

bool OpenInNotepad(const char* path) {
    // Quoted: a skin path with blanks would otherwise reach Notepad in pieces.
    char quoted[kSkinPathSize + 3];
    QuotedSkinPath(path, quoted, sizeof(quoted));
    const BarMenuHostCalls& host = GetBarMenuHostCalls();
    if (host.StartProgram) return host.StartProgram("notepad.exe", quoted);
    HINSTANCE result = ::ShellExecuteA(nullptr, "open", "notepad.exe", quoted, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace

int CVellumMenuObject::InitSimpleContextMenu(HMENU menu) {
    if (menu) menu_edit::Check(menu, IDM_BAR_AUTOHIDE, UseAutohide);
    return 1;
}

HMENU CVellumMenuObject::InitContextMenu(HMENU menu) {
    if (menu) menu_edit::Check(menu, IDM_INTERNAL_ALWAYS_ON_TOP, AlwaysOnTop);
    SetBarMenuHeaderText(m_displayTitle[0] ? m_displayTitle : Title);
    HINSTANCE module = ResourceModuleOf(this);
    HMENU options = menu_edit::LoadFirstPopup(module, IDM_BAR_OPTIONS);
    if (!options) return nullptr;
    if (m_barSubmenu) ::DestroyMenu(m_barSubmenu);
    m_barSubmenu = options;
    if (menu)
        ::ModifyMenuA(menu, IDM_BAR_OPTIONS_ENTRY, MF_BYCOMMAND | MF_POPUP | MF_STRING,
                      reinterpret_cast<UINT_PTR>(options), "Bar Options");
    HMENU orientation = menu_edit::NthSubmenu(options, 1);
    HMENU docking = menu_edit::NthSubmenu(options, 2);

    menu_edit::MakeHeaderEntry(options, IDM_BAR_HEADER);
    menu_edit::Check(options, IDM_BAR_AUTOHIDE, UseAutohide);
    ShowCurrentSkin(options, *this);
    menu_edit::Check(options, IDM_BAR_SHOW_CAPTION, ShowTitle);
    menu_edit::Check(options, IDM_BAR_ALWAYS_ON_TOP, AlwaysOnTop);
    if (orientation) {
        menu_edit::MarkRadio(orientation, {IDM_BAR_GROW_LEFT, IDM_BAR_GROW_RIGHT},
                             ResizingMovingLeft ? IDM_BAR_GROW_LEFT : IDM_BAR_GROW_RIGHT);
        menu_edit::MarkRadio(orientation, {IDM_BAR_GROW_TOP, IDM_BAR_GROW_BOTTOM},
                             ResizingMovingUp ? IDM_BAR_GROW_TOP : IDM_BAR_GROW_BOTTOM);
        menu_edit::MarkRadio(orientation, {IDM_BAR_VERTICAL, IDM_BAR_HORIZONTAL},
                             DisplayVertically ? IDM_BAR_VERTICAL : IDM_BAR_HORIZONTAL);
    }
    MarkDocking(docking, *this);
    return options;
}

void CVellumMenuObject::UnInitContextMenu() {
    if (m_barSubmenu) {
        ::DestroyMenu(m_barSubmenu);
        m_barSubmenu = nullptr;
    }
    SetBarMenuHeaderText(nullptr);
}

namespace {

// Sorts the editor's tree and applies the position and layout with the
// edge-change flag set, as a change of edge or orientation needs.
void Replace(CVellumMenuObject* bar) {
    const BarMenuHostCalls& host = GetBarMenuHostCalls();
    if (host.SortEditorTree) host.SortEditorTree();
    bar->m_edgeChangeRunning = TRUE;
    bar->UpdatePos();
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    bar->m_edgeChangeRunning = FALSE;
}

void UpdatePosAsEdgeChange(CVellumMenuObject* bar) {
    bar->m_edgeChangeRunning = TRUE;
    bar->UpdatePos();
    bar->m_edgeChangeRunning = FALSE;
}

int Dock(CVellumMenuObject* bar, int edge) {
    if (!EdgeFitsOrientation(edge, bar->DisplayVertically) || bar->DockToEdge == edge) return 1;
    bar->DockToEdge = edge;
    if (bar->UseAutohide) {
        bar->m_autohide.hidden = FALSE;
        bar->m_autohide.offset = 0;
    }
    bar->SetModified();
    Replace(bar);
    return 1;
}

int CloseBar(CVellumMenuObject* bar) {
    const ItemHostCalls& editor = GetItemHostCalls();
    if (editor.RemoveBarFromThemeEditor) editor.RemoveBarFromThemeEditor(bar);
    bar->Release();
    const BarHostServices& services = GetBarHostServices();
    if (services.PostHiddenTaskbarUpdate) services.PostHiddenTaskbarUpdate();
    return 1;
}

int EditSkin(CVellumMenuObject* bar) {
    const char* path = bar->m_skin ? bar->m_skin->path : "";
    if (!path[0]) return 1;
    if (::GetKeyState(VK_CONTROL) < 0) {
        OpenInNotepad(path);
        return 1;
    }
    const ItemHostCalls& host = GetItemHostCalls();
    if (host.EditSkinInSkinEditor) host.EditSkinInSkinEditor(path);
    return 1;
}

}  // namespace

int CVellumMenuObject::DoContextMenuCommand(int id) {
    const int edge = DockEdgeOf(id);
    if (edge != -2) return Dock(this, edge);
    switch (id) {
    case IDM_BAR_CLOSE:
        return CloseBar(this);
    case IDM_BAR_CHANGE_SKIN_OLD:
    case IDM_BAR_CHANGE_SKIN: {
        const BarMenuHostCalls& host = GetBarMenuHostCalls();
        if (host.SelectInThemeEditor) host.SelectInThemeEditor(this, 0);
        return 1;
    }
    case 0:
    case IDM_BAR_CURRENT_SKIN:
        return 1;
    case IDM_BAR_ALWAYS_ON_TOP:
        AlwaysOnTop = !AlwaysOnTop;
        SetModified();
        UpdatePosAsEdgeChange(this);
        return 1;
    case IDM_BAR_GROW_TOP:
    case IDM_BAR_GROW_BOTTOM:
        ResizingMovingUp = id == IDM_BAR_GROW_TOP;
        SetModified();
        return 1;
    case IDM_BAR_GROW_LEFT:
    case IDM_BAR_GROW_RIGHT:
        ResizingMovingLeft = id == IDM_BAR_GROW_LEFT;
        SetModified();
        return 1;
    case IDM_BAR_VERTICAL:
    case IDM_BAR_HORIZONTAL: {
        const bool vertical = id == IDM_BAR_VERTICAL;
        if (DockToEdge != kEdgeNone || (DisplayVertically != FALSE) == vertical) return 1;
        SetModified();
        ChangeOrientation(vertical ? 1 : 0);
        Replace(this);
        return 1;
    }
    case IDM_BAR_AUTOHIDE:
        UseAutohide = !UseAutohide;
        UpdatePos();
        AutoHide(UseAutohide, 1);
        SetModified();
        AskStatsMonitorForMouseHook();
        return 1;
    case IDM_BAR_SHOW_CAPTION:
        ShowTitle = !ShowTitle;
        SetModified();
        return 1;
    case IDM_BAR_IGNORE_SKIN_AUTOHIDE:
        bIgnoreSkinAutohideSettings = !bIgnoreSkinAutohideSettings;
        UpdatePos();
        if (UseAutohide) {
            AutoHide(1, 0);
            AutoHide(0, 0);
        }
        SetModified();
        return 1;
    case IDM_BAR_EDIT_SKIN:
        return EditSkin(this);
    case IDM_INTERNAL_ALWAYS_ON_TOP:
        AlwaysOnTop = !AlwaysOnTop;
        UpdatePos();
        return 1;
    default:
        return 0;
    }
}
