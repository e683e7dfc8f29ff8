// The section's part of its bar's context menu: the "Section Options"
// submenu (menu 123) grafted in place of the bar menu's entry 40137, with
// its marks set from the section's settings; its commands, two of which
// ask first; and the hooks through which section types add their own.
#include <cstring>
#include "model/bar_menu_host_calls.h"
#include "model/bar_menu_resources.h"
#include "model/item_host_calls.h"
#include "model/menu_edit.h"
#include "model/menu_header_text.h"
#include "model/registered_names.h"
#include "model/resource_module.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "skins/skin_record.h"
#include "util/text.h"

namespace {

constexpr char kHideCaption[] = "Tessellar - Hide Section";
constexpr char kHideText[] =
    "Are you sure you want to hide this section?\n\nNote that once a section is hidden you must "
    "open up the configuration dialog and edit this section's properties to re-show it.";
constexpr char kRemoveCaption[] = "Tessellar - Remove Section";
constexpr char kRemoveText[] =
    "Are you sure you want to remove this section?\n\nRemember that if you remove this section "
    "and later decide you want it back,\nyou will likely have to reconfigure it to get your "
    "settings back.";

constexpr UINT kSkinEntries[] = {IDM_SECTION_SKIN_1, IDM_SECTION_SKIN_2, IDM_SECTION_SKIN_3,
                                 IDM_SECTION_SKIN_4};

UINT DisplayEntry(const CVellumMenuSection& s) {
    if (!s.ShowTextByDef) return IDM_SECTION_ICONS_ONLY;
    return s.ShowIconsByDef ? IDM_SECTION_ICONS_AND_TEXT : IDM_SECTION_TEXT_ONLY;
}

UINT IconSizeEntry(int size) {
    switch (size) {
    case 16: return IDM_SECTION_ICON_16;
    case 32: return IDM_SECTION_ICON_32;
    case 48: return IDM_SECTION_ICON_48;
    case 64: return IDM_SECTION_ICON_64;
    default: return IDM_SECTION_ICON_CUSTOM;
    }
}

// "Name (#n)" from the skin's section type name of the style, "(#n)" when
// the style has none.
void NameSkinEntries(HMENU menu, const SkinRecord* skin) {
    for (int style = 0; style < 4; ++style) {
        const char* name = skin && style < kMaxSectionStyles ? skin->section_type[style].get() : nullptr;
        char text[kSkinNameSize + 16];
        if (name && name[0])
            tess::FormatText(text, sizeof(text), "%s (#%i)", name, style + 1);
        else
            tess::FormatText(text, sizeof(text), "(#%i)", style + 1);
        ::ModifyMenuA(menu, kSkinEntries[style], MF_BYCOMMAND | MF_STRING, kSkinEntries[style], text);
    }
}

void MarkAppearance(HMENU appearance, const CVellumMenuSection& s) {
    using menu_edit::Check;
    using menu_edit::MarkRadio;
    MarkRadio(appearance, {IDM_SECTION_TEXT_ONLY, IDM_SECTION_ICONS_AND_TEXT, IDM_SECTION_ICONS_ONLY},
              DisplayEntry(s));
    MarkRadio(appearance,
              {IDM_SECTION_ICON_16, IDM_SECTION_ICON_32, IDM_SECTION_ICON_48, IDM_SECTION_ICON_64,
               IDM_SECTION_ICON_CUSTOM},
              IconSizeEntry(s.DefaultIconSize));
    NameSkinEntries(appearance, s.m_pBar ? s.m_pBar->m_skin : nullptr);
    const int style = s.iSectionSkin;
    MarkRadio(appearance, {IDM_SECTION_SKIN_1, IDM_SECTION_SKIN_2, IDM_SECTION_SKIN_3, IDM_SECTION_SKIN_4},
              style >= 0 && style < 4 ? kSkinEntries[style] : 0);
    Check(appearance, IDM_SECTION_COMBINE_SKIN, s.bCombineSkin);
    Check(appearance, IDM_SECTION_TIGHT_WIDTHS, s.UseTightItemWidthBuffer);
    Check(appearance, IDM_SECTION_POPUP_ARROWS, s.AlwaysShowPopupArrows);
}

void MarkResizability(HMENU menu, const CVellumMenuSection& s) {
    menu_edit::Check(menu, IDM_SECTION_RESIZABLE, s.bResizable);
    const UINT shown = s.MinItems == -1 ? IDM_SECTION_SHOW_ALL : s.MinItems == 1 ? IDM_SECTION_SHOW_ONE : 0;
    menu_edit::MarkRadio(menu, {IDM_SECTION_SHOW_ALL, IDM_SECTION_SHOW_ONE}, shown);
    menu_edit::MarkRadio(menu, {IDM_SECTION_DOWN_ARROW, IDM_SECTION_SCROLLERS},
                         s.UseDownArrow ? IDM_SECTION_DOWN_ARROW : IDM_SECTION_SCROLLERS);
}

void MarkArrangement(HMENU menu, const CVellumMenuSection& s) {
    menu_edit::MarkRadio(menu, {IDM_SECTION_FIT_CONTENT, IDM_SECTION_EQUAL_WIDTHS},
                         s.EqualWidths ? IDM_SECTION_EQUAL_WIDTHS : IDM_SECTION_FIT_CONTENT);
    menu_edit::Check(menu, IDM_SECTION_MULTIPLE_ROWS, s.AllowMultipleRowsCols);
    if (s.MaxmizeItems) {
        menu_edit::Check(menu, IDM_SECTION_MAXIMIZE_ITEMS, TRUE);
        ::DeleteMenu(menu, IDM_SECTION_CENTER_ITEMS, MF_BYCOMMAND);
    } else {
        menu_edit::Check(menu, IDM_SECTION_CENTER_ITEMS, s.CenterItems);
    }
}

bool AskYesNo(const char* caption, const char* text) {
    return ::MessageBoxA(nullptr, text, caption, MB_YESNO | MB_ICONQUESTION) != IDNO;
}

void SelectInEditor(CVellumMenuSection* section, int tab) {
    const BarMenuHostCalls& host = GetBarMenuHostCalls();
    if (host.SelectInThemeEditor) host.SelectInThemeEditor(section, tab);
}

void EditBarSkin(CVellumMenuSection* section) {
    CVellumMenuObject* bar = section->m_pBar;
    const char* path = bar && bar->m_skin ? bar->m_skin->path : "";
    const ItemHostCalls& host = GetItemHostCalls();
    if (path[0] && host.EditSkinInSkinEditor) host.EditSkinInSkinEditor(path);
}

}  // namespace

HMENU CVellumMenuSection::InitContextMenu(HMENU barMenu) {
    SetSectionMenuHeaderText(Title, 1);
    HINSTANCE module = ResourceModuleOf(m_pBar);
    HMENU options = menu_edit::LoadFirstPopup(module, IDM_SECTION_OPTIONS);
    if (!options) return nullptr;
    if (m_contextSubmenu) ::DestroyMenu(m_contextSubmenu);
    m_contextSubmenu = options;
    if (barMenu)
        ::ModifyMenuA(barMenu, IDM_SECTION_OPTIONS_ENTRY, MF_BYCOMMAND | MF_POPUP | MF_STRING,
                      reinterpret_cast<UINT_PTR>(options), "Section Options");
    HMENU appearance = menu_edit::NthSubmenu(options, 0);
    HMENU resizability = menu_edit::NthSubmenu(options, 1);
    HMENU arrangement = menu_edit::NthSubmenu(options, 2);
    menu_edit::MakeHeaderEntry(options, IDM_SECTION_HEADER);
    if (appearance) MarkAppearance(appearance, *this);
    if (resizability) MarkResizability(resizability, *this);
    if (arrangement) MarkArrangement(arrangement, *this);
    InitCustomContextMenu(barMenu, options);
    return nullptr;
}

void CVellumMenuSection::UnInitContextMenu() {
    SetSectionMenuHeaderText(nullptr, 0);
    UnInitCustomContextMenu(nullptr, m_contextSubmenu);
    if (m_pBar) m_pBar->UnInitContextMenu();
    if (m_contextSubmenu) {
        ::DestroyMenu(m_contextSubmenu);
        m_contextSubmenu = nullptr;
    }
}

namespace {

// The common end of a changed setting: marked modified, laid out and drawn
// twice with the bar's edge-change flag set.
int LayOutBar(CVellumMenuSection* section) {
    CVellumMenuObject* bar = section->m_pBar;
    if (!bar) return 1;
    bar->SetModified();
    bar->m_edgeChangeRunning = TRUE;
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    bar->m_edgeChangeRunning = FALSE;
    return 1;
}

// Every neighbour of the same style, up to the first of another style in
// each direction, combines as the section now does; its open first page
// closes so that it shows the new value when opened again.
void CombineNeighbours(CVellumMenuSection* section) {
    CVellumMenuObject* bar = section->m_pBar;
    if (!bar) return;
    for (int direction : {1, -1}) {
        CVellumMenuSection* next = section;
        for (;;) {
            next = direction > 0 ? bar->GetNextSection(next) : bar->GetPreviousSection(next);
            if (!next || next->iSectionSkin != section->iSectionSkin) break;
            next->bCombineSkin = section->bCombineSkin;
            if (next->m_pages[0] && ::IsWindow(next->m_pages[0]))
                ::SendMessageA(next->m_pages[0], WM_COMMAND, IDOK, 0);
        }
    }
}

int SetSkinStyle(CVellumMenuSection* section, int style) {
    section->iSectionSkin = style;
    section->m_restyle = TRUE;
    for (int i = 0; i < kMaxItems && section->m_items[i]; ++i)
        section->m_items[i]->SetState(section->m_items[i]->m_state, 0);
    section->m_restyle = FALSE;
    return LayOutBar(section);
}

int SetIconSize(CVellumMenuSection* section, int size) {
    section->DefaultIconSize = size;
    section->UpdateSectionItemDefs();
    return LayOutBar(section);
}

int AskIconSize(CVellumMenuSection* section) {
    const ItemHostCalls& host = GetItemHostCalls();
    int size = host.AskCustomIconSize ? host.AskCustomIconSize(nullptr, section->DefaultIconSize) : 0;
    // The dialog answers 0 when cancelled: the size stays.
    if (size <= 0) size = section->DefaultIconSize;
    return SetIconSize(section, size);
}

int SetDisplay(CVellumMenuSection* section, BOOL icons, BOOL text) {
    section->ShowIconsByDef = icons;
    section->ShowTextByDef = text;
    section->UpdateSectionItemDefs();
    return LayOutBar(section);
}

int RemoveAfterMenu(CVellumMenuSection* section) {
    if (!AskYesNo(kRemoveCaption, kRemoveText)) return 1;
    CVellumMenuObject* bar = section->m_pBar;
    if (bar && bar->m_hMainWindow) {
        static const UINT message =
            ::RegisterWindowMessageA(RegisteredNameText(RegisteredName::RemoveSectionDelay));
        ::PostMessageA(bar->m_hMainWindow, message, reinterpret_cast<WPARAM>(section), 0);
    }
    return 1;
}

}  // namespace

int CVellumMenuSection::DoContextMenuCommand(int id) {
    if (id >= IDM_SECTION_SKIN_1 && id <= IDM_SECTION_SKIN_4) return SetSkinStyle(this, id - IDM_SECTION_SKIN_1);
    switch (id) {
    case 40066:   // "Close Bar": the bar's own command
        return m_pBar ? m_pBar->DoContextMenuCommand(id) : 1;
    case IDM_SECTION_SELECT_IN_EDITOR:
        SelectInEditor(this, 0);
        return 1;
    case IDM_SECTION_EDIT_ARRANGEMENT:
    case IDM_SECTION_EDIT_RESIZABILITY:
        SelectInEditor(this, 1);
        return 1;
    case IDM_SECTION_EDIT_MARGINS:
    case IDM_SECTION_EDIT_BACKGROUND:
        EditBarSkin(this);
        return 1;
    case 0:
        return 1;
    case IDM_SECTION_COMBINE_SKIN:
        bCombineSkin = !bCombineSkin;
        CombineNeighbours(this);
        return LayOutBar(this);
    case IDM_SECTION_TIGHT_WIDTHS:
        UseTightItemWidthBuffer = !UseTightItemWidthBuffer;
        return LayOutBar(this);
    case IDM_SECTION_RESIZABLE:
        bResizable = !bResizable;
        return LayOutBar(this);
    case IDM_SECTION_SHOW_ALL:
    case IDM_SECTION_SHOW_ONE:
        MinItems = id == IDM_SECTION_SHOW_ALL ? -1 : 1;
        return LayOutBar(this);
    case IDM_SECTION_DOWN_ARROW:
    case IDM_SECTION_SCROLLERS:
        UseDownArrow = id == IDM_SECTION_DOWN_ARROW;
        return LayOutBar(this);
    case IDM_SECTION_FIT_CONTENT:
    case IDM_SECTION_EQUAL_WIDTHS:
        EqualWidths = id == IDM_SECTION_EQUAL_WIDTHS;
        return LayOutBar(this);
    case IDM_SECTION_MULTIPLE_ROWS:
        AllowMultipleRowsCols = !AllowMultipleRowsCols;
        return LayOutBar(this);
    case IDM_SECTION_CENTER_ITEMS:
        CenterItems = !CenterItems;
        return LayOutBar(this);
    case IDM_SECTION_MAXIMIZE_ITEMS:
        MaxmizeItems = !MaxmizeItems;
        return LayOutBar(this);
    case IDM_SECTION_ICON_16: return SetIconSize(this, 16);
    case IDM_SECTION_ICON_32: return SetIconSize(this, 32);
    case IDM_SECTION_ICON_48: return SetIconSize(this, 48);
    case IDM_SECTION_ICON_64: return SetIconSize(this, 64);
    case IDM_SECTION_ICON_CUSTOM: return AskIconSize(this);
    case IDM_SECTION_TEXT_ONLY: return SetDisplay(this, FALSE, TRUE);
    case IDM_SECTION_ICONS_AND_TEXT: return SetDisplay(this, TRUE, TRUE);
    case IDM_SECTION_ICONS_ONLY: return SetDisplay(this, TRUE, FALSE);
    case IDM_SECTION_HIDE:
        if (AskYesNo(kHideCaption, kHideText)) SetHidden(1);
        return 1;
    case IDM_SECTION_REMOVE:
        return RemoveAfterMenu(this);
    case IDM_SECTION_POPUP_ARROWS:
        AlwaysShowPopupArrows = !AlwaysShowPopupArrows;
        return LayOutBar(this);
    default:
        return DoCustomContextMenuCommand(id);
    }
}
