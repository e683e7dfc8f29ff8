// CVellumMenuSection: construction, the item list, hit tests and the base
// behaviour of the virtual operations that need nothing unbuilt.
#include "model/vellum_menu_section.h"
#include <cstring>
#include <initializer_list>
#include "model/bar_messages.h"
#include "model/section_factory.h"
#include "skins/ini_section_reader.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "util/text.h"

CVellumMenuSection::CVellumMenuSection(CVellumMenuObject* bar, int sectionNumber, int loadItems) {
    // Every field is plain data declared in one block: zero them together,
    // then the defaults that are not zero.
    char* first = reinterpret_cast<char*>(&m_dropMarkShown);
    char* last = reinterpret_cast<char*>(&m_iniSectionName) + sizeof(m_iniSectionName);
    std::memset(first, 0, last - first);
    m_transitionTimerId = kSectionTransitionTimerId;
    m_rows = 1;
    CenterItems = TRUE;
    ShowIconsByDef = TRUE;
    ShowTextByDef = TRUE;
    DefaultIconSize = 16;
    MaxmizeItems = TRUE;
    m_userWidth = -1;
    bResizable = TRUE;
    MinItemWidth = 24;
    m_minItemHeight = -1;
    MaxItemWidth = 300;
    m_maxItemHeight = -1;
    bAllowShowingOfLeftGrayedArrow = TRUE;
    UseSectionSkinning = TRUE;
    MinItems = -1;
    MaxItems = -1;
    m_sectionNumber = -1;

    if (!bar) return;   // stays invalid
    UpdateParents(bar);
    m_sectionNumber = sectionNumber;
    BuildString(m_iniSectionName, nullptr);

    bool reading = bar->m_loadingSections && bar->m_sectionReader;
    if (reading) {
        ReadKeys();
    } else if (bar->DisplayVertically && !bar->WidthResizableWhenVertical) {
        EqualWidths = TRUE;
    }
    MakeArrowItems();

    if (reading) {
        bool any_item = true;
        if (loadItems) {
            ReadItems();
            any_item = GetNumOfItems() > 0;
        }
        int width = bar->m_sectionReader->GetInt("Properties.LastWidth", -1);
        if (width >= 0) {
            BOOL hidden = IsHidden;
            IsHidden = FALSE;
            SetWidth(width);
            m_userWidth = width;
            IsHidden = hidden;
        }
        // Without items the section is valid only through Properties.ForceValid.
        if (!any_item) return;
    }
    m_valid = TRUE;
}

void CVellumMenuSection::MakeArrowItems() {
    // The arrows read no keys, whatever the bar is doing.
    BOOL loading = m_pBar->m_loadingSections;
    m_pBar->m_loadingSections = FALSE;
    m_leftArrow = new CVellumMenuItem(m_pBar, this, const_cast<char*>("Left Arrow"));
    m_rightArrow = new CVellumMenuItem(m_pBar, this, const_cast<char*>("Right Arrow"));
    m_downArrow = CreateItemOfType("Default", m_pBar, this, -1);
    m_downArrow->Action = 1;
    m_pBar->m_loadingSections = loading;
    for (CVellumMenuItem* arrow : {m_leftArrow, m_rightArrow, m_downArrow}) {
        arrow->m_arrowItem = TRUE;
        arrow->m_disabled = TRUE;
    }
}

CVellumMenuSection::~CVellumMenuSection() {
    ForgetSectionTail(this);
    UnInitContextMenu();
    for (HWND page : m_pages)
        if (page && ::IsWindow(page)) ::SendMessageA(page, WM_COMMAND, IDOK, 0);
    RemoveItem(-1, 1);
    delete m_leftArrow;
    delete m_rightArrow;
    delete m_downArrow;
}

// ---- items --------------------------------------------------------------------------------

int CVellumMenuSection::UpdateParents(CVellumMenuObject* bar) {
    if (!bar) return 0;
    m_pBar = bar;
    m_skinSlot = bar->m_skinSlot;
    for (int i = 0; i < kMaxItems && m_items[i]; ++i) m_items[i]->UpdateParents(bar, this);
    CVellumMenuItem* arrows[3] = {m_downArrow, m_leftArrow, m_rightArrow};
    for (CVellumMenuItem* arrow : arrows)
        if (arrow) arrow->UpdateParents(bar, this);
    return 1;
}

int CVellumMenuSection::GetNumOfItems() const {
    int count = 0;
    while (count < kMaxItems && m_items[count]) ++count;
    return count;
}

int CVellumMenuSection::FindItem(const CVellumMenuItem* item) const {
    if (!item) return -1;
    for (int i = 0; i < kMaxItems && m_items[i]; ++i)
        if (m_items[i] == item) return i;
    return -1;
}

void CVellumMenuSection::RemoveItem(int index, int deleteIt) {
    if (index == -1) {
        // Out of the list first: an item's destructor may reach the section.
        CVellumMenuItem* taken[kMaxItems];
        int count = GetNumOfItems();
        for (int i = 0; i < count; ++i) {
            taken[i] = m_items[i];
            m_items[i] = nullptr;
        }
        if (deleteIt)
            for (int i = 0; i < count; ++i) delete taken[i];
        return;
    }
    if (index < 0 || index >= kMaxItems || !m_items[index]) return;
    CVellumMenuItem* item = m_items[index];
    int count = GetNumOfItems();
    for (int i = index; i < count - 1; ++i) m_items[i] = m_items[i + 1];
    m_items[count - 1] = nullptr;
    if (deleteIt) delete item;
}

void CVellumMenuSection::RemoveItem(CVellumMenuItem* item, int deleteIt) {
    int index = FindItem(item);
    if (index >= 0) RemoveItem(index, deleteIt);
}

bool CVellumMenuSection::InsertItem(int index, CVellumMenuItem* item) {
    if (!item || FindItem(item) >= 0) return false;
    int count = GetNumOfItems();
    if (count >= kMaxItems) return false;   // no slot left: refused
    if (index < 0 || index > count) index = count;
    for (int i = count; i > index; --i) m_items[i] = m_items[i - 1];
    m_items[index] = item;
    return true;
}

bool CVellumMenuSection::InsertItem(CVellumMenuItem* after, CVellumMenuItem* item) {
    // after == -1 as a pointer value puts the item first.
    if (after == reinterpret_cast<CVellumMenuItem*>(-1)) return InsertItem(0, item);
    int at = FindItem(after);
    return InsertItem(at < 0 ? -1 : at + 1, item);
}

CVellumMenuItem* CVellumMenuSection::GetPreviousItem(CVellumMenuItem* item) {
    int index = FindItem(item);
    return index > 0 ? m_items[index - 1] : nullptr;
}

CVellumMenuItem* CVellumMenuSection::GetNextItem(CVellumMenuItem* item) {
    int index = FindItem(item);
    return index >= 0 && index + 1 < kMaxItems ? m_items[index + 1] : nullptr;
}

int CVellumMenuSection::UpdateTooltips() {
    for (int i = 0; i < kMaxItems && m_items[i]; ++i) m_items[i]->UpdateTooltips(0);
    return 1;
}

CVellumMenuItem* CVellumMenuSection::HitTestSection(POINT pt) {
    int first = m_firstShownItem < 0 ? 0 : m_firstShownItem;
    for (int i = first; i < kMaxItems && m_items[i]; ++i) {
        RECT rect;
        m_items[i]->GetRealItemRect(&rect);
        if (::PtInRect(&rect, pt)) return m_items[i];
    }
    return nullptr;
}

CVellumMenuItem* CVellumMenuSection::HitTestItems(POINT pt) {
    if (CVellumMenuItem* item = HitTestSection(pt)) return item;
    CVellumMenuItem* arrows[3] = {m_leftArrow, m_rightArrow, m_downArrow};
    for (CVellumMenuItem* arrow : arrows) {
        if (!arrow) continue;
        RECT rect;
        arrow->GetRealItemRect(&rect);
        if (::PtInRect(&rect, pt)) return arrow;
    }
    return nullptr;
}

void* CVellumMenuSection::HitTest() {
    return nullptr;
}

// ---- virtual operations with their base behaviour ----------------------------------------------

int CVellumMenuSection::InitSimpleContextMenu(HMENU) { return 0; }
int CVellumMenuSection::DoCustomContextMenuCommand(int) { return 0; }
void CVellumMenuSection::InitCustomContextMenu(HMENU, HMENU) {}
void CVellumMenuSection::UnInitCustomContextMenu(HMENU, HMENU) {}

int CVellumMenuSection::GetCustomSectionName(char* out) {
    if (!out) return 0;
    tess::CopyText(out, 8, "Default");
    return 1;
}

int CVellumMenuSection::AllowDrop() { return 1; }
int CVellumMenuSection::IsLockedSection() { return 0; }
int CVellumMenuSection::AllowEnumItems() { return 1; }

CVellumMenuItem* CVellumMenuSection::GUI_CustomEnumItems(int index) {
    return index >= 0 && index < kMaxItems ? m_items[index] : nullptr;
}

int CVellumMenuSection::SetHidden(int hidden) {
    BOOL value = hidden ? TRUE : FALSE;
    if (IsHidden == value) return 0;
    IsHidden = value;
    if (m_pBar) {
        BOOL resizable = bResizable;
        bResizable = FALSE;
        m_pBar->UpdatePos();
        m_pBar->RecalcRects(kRecalcNoRedraw, kRecalcUpdatePos);
        bResizable = resizable;
        m_pBar->UpdatePos();
        m_pBar->RecalcRects(kRecalcNoRedraw, kRecalcUpdatePos);
        m_pBar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
        m_pBar->UpdatePos();
    }
    return 1;
}

int CVellumMenuSection::SaveExternal() { return 0; }
HICON CVellumMenuSection::GetCustomIcon() { return nullptr; }

int CVellumMenuSection::UpdateSectionItemDefs() {
    for (int i = 0; i < kMaxItems && m_items[i]; ++i) {
        CVellumMenuItem* item = m_items[i];
        item->ShowIcon = ShowIconsByDef;
        item->ShowText = ShowTextByDef;
        item->IconSize = DefaultIconSize;
        item->RefreshIcon();
    }
    return 1;
}

CVellumMenuSection::CVellumMenuSection(const CVellumMenuSection& other) = default;
CVellumMenuSection& CVellumMenuSection::operator=(const CVellumMenuSection& other) = default;
