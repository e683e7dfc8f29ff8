// The section pages: one handler for the controls of Display, Arrangement
// and Extra Options, and the base Behavior page.
#include <windows.h>
#include "shell/section_pages.h"

#include <commctrl.h>
#include <cstdlib>
#include <memory>
#include "model/item_host_calls.h"
#include "model/live_objects.h"
#include "model/resource_module.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "shell/config_pages.h"
#include "shell/section_pages_resources.h"
#include "shell/theme_editor.h"
#include "skins/skin_record.h"
#include "util/text.h"

namespace {

// Numbers are read as at most this many characters.
constexpr int kNumberTextSize = 19;
constexpr int kShownMinimumWhenOff = 24;
constexpr int kShownMaximumWhenOff = 300;
constexpr int kMaxSpin = 10000;
constexpr int kMaxVisibleItemsSpin = 100;
constexpr int kIconSizes[] = {16, 32, 48, 64};

class SectionPage : public ConfigPage {
public:
    SectionPage(CVellumMenuSection* section, int slot)
        : ConfigPage(PageObjectKind::kSection, section, PageSlotsOf(section), slot),
          section_(section) {}

protected:
    void Fill() override {
        FillDisplay();
        FillArrangement();
        FillExtra();
    }

    void Apply(int id, int code) override {
        if (!IsLiveSection(section_)) return;
        if (ClickPicture(id)) return;
        if (ApplyDisplay(id) || ApplyArrangement(id, code) || ApplyExtra(id)) return;
    }

private:
    bool Has(int id) const { return Control(id) != nullptr; }

    // A click on an example picture clicks its radio.
    bool ClickPicture(int id) {
        int radio = 0;
        if (id == IDC_SEC_FIT_CONTENT_PICTURE) radio = IDC_SEC_FIT_CONTENT;
        if (id == IDC_SEC_LARGE_SPACING_PICTURE) radio = IDC_SEC_LARGE_SPACING;
        if (id == IDC_SEC_EQUAL_SIZES_PICTURE) radio = IDC_SEC_EQUAL_SIZES;
        if (!radio) return false;
        ::CheckRadioButton(Window(), IDC_SEC_EQUAL_SIZES, IDC_SEC_LARGE_SPACING, radio);
        ApplyArrangement(radio, BN_CLICKED);
        return true;
    }
    CVellumMenuObject* Bar() const { return section_->m_pBar; }

    void Modified() {
        if (Bar()) Bar()->SetModified();
    }

    void Relayout() {
        if (!Bar()) return;
        Bar()->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
        Bar()->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    }

    // A number of the field: at most 18 characters; false when it is empty.
    bool Number(int id, int* value) const {
        char text[kNumberTextSize] = "";
        ::GetDlgItemTextA(Window(), id, text, sizeof(text));
        if (!text[0]) return false;
        *value = std::atoi(text);
        return true;
    }

    void SetNumber(int id, int value) { ::SetDlgItemInt(Window(), id, static_cast<UINT>(value), TRUE); }

    void SpinRange(int id, int high) {
        if (HWND spin = Control(id)) ::SendMessageA(spin, UDM_SETRANGE32, 0, high);
    }

    // ---- Display ---------------------------------------------------------------------------
    void FillDisplay() {
        if (!Has(IDC_SEC_TITLE)) return;
        SetText(IDC_SEC_TITLE, section_->Title);
        Check(IDC_SEC_HIDDEN, section_->IsHidden);
        for (const char* row : {"Show items with text and icons.", "Show items with text only.",
                                "Show items with icons only."})
            AddComboRow(IDC_SEC_SHOW_BY_DEFAULT, row, 0);
        SelectCombo(IDC_SEC_SHOW_BY_DEFAULT,
                    !section_->ShowTextByDef ? 2 : !section_->ShowIconsByDef ? 1 : 0);
        int size_row = 4;
        for (int i = 0; i < 4; ++i) {
            char text[16];
            tess::FormatText(text, sizeof(text), "%dx%d", kIconSizes[i], kIconSizes[i]);
            AddComboRow(IDC_SEC_ICON_SIZE, text, kIconSizes[i]);
            if (section_->DefaultIconSize == kIconSizes[i]) size_row = i;
        }
        AddComboRow(IDC_SEC_ICON_SIZE, "Custom...", 0);
        SelectCombo(IDC_SEC_ICON_SIZE, size_row);
        FillStyles();
        Check(IDC_SEC_COMBINE, section_->bCombineSkin);
    }

    void FillStyles() {
        const SkinRecord* skin = Bar() ? Bar()->m_skin : nullptr;
        const int count = skin ? skin->NumberOfSectionStyles : 0;
        for (int s = 0; s < count && s < kMaxSectionStyles; ++s)
            AddComboRow(IDC_SEC_STYLE, SectionStyleEntry(skin->section_type[s].get(), s + 1).c_str(), s);
        SelectCombo(IDC_SEC_STYLE, section_->iSectionSkin);
    }

    bool ApplyDisplay(int id) {
        switch (id) {
        case IDC_SEC_TITLE: {
            const std::string typed = Text(id);
            if (lstrcmpiA(typed.c_str(), section_->Title) == 0) return true;
            tess::CopyText(section_->Title, typed.c_str());
            SetEditorNodeTitle(section_, section_->Title);
            Modified();
            Relayout();
            return true;
        }
        case IDC_SEC_HIDDEN:
            // The section saves and lays its bar out through it.
            section_->SetHidden(Checked(id) ? 1 : 0);
            return true;
        case IDC_SEC_SHOW_BY_DEFAULT: {
            const int row = ComboSelection(id);
            if (row < 0) return true;
            section_->ShowIconsByDef = row == 1 ? FALSE : TRUE;
            section_->ShowTextByDef = row == 2 ? FALSE : TRUE;
            Modified();
            section_->UpdateSectionItemDefs();
            Relayout();
            return true;
        }
        case IDC_SEC_ICON_SIZE: ApplyIconSize(); return true;
        case IDC_SEC_STYLE: ApplyStyle(); return true;
        case IDC_SEC_COMBINE:
            CombineSectionWithNeighbours(section_, Checked(id));
            return true;
        default:
            return false;
        }
    }

    void ApplyIconSize() {
        const int row = ComboSelection(IDC_SEC_ICON_SIZE);
        if (row < 0) return;
        int size = static_cast<int>(ComboData(IDC_SEC_ICON_SIZE, row));
        if (size == 0) {
            const ItemHostCalls& host = GetItemHostCalls();
            size = host.AskCustomIconSize ? host.AskCustomIconSize(nullptr, section_->DefaultIconSize)
                                          : section_->DefaultIconSize;
        }
        if (size < 1 || size == section_->DefaultIconSize) return;
        section_->DefaultIconSize = size;
        Modified();
        section_->UpdateSectionItemDefs();
        Relayout();
    }

    void ApplyStyle() {
        const int row = ComboSelection(IDC_SEC_STYLE);
        if (row < 0) return;
        const int style = static_cast<int>(ComboData(IDC_SEC_STYLE, row));
        if (style == section_->iSectionSkin) return;
        section_->iSectionSkin = style;
        // Every item takes its state again, now in the new style's elements.
        section_->m_restyle = TRUE;
        for (int i = 0; i < kMaxItems && section_->m_items[i]; ++i)
            section_->m_items[i]->SetState(section_->m_items[i]->m_state, 0);
        section_->m_restyle = FALSE;
        Modified();
        if (Bar()) {
            Bar()->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
            Bar()->RedrawVellumWindow();
        }
    }

    // ---- Arrangement ----------------------------------------------------------------------
    void FillArrangement() {
        if (!Has(IDC_SEC_RESIZABLE)) return;
        Check(IDC_SEC_RESIZABLE, section_->bResizable);
        SpinRange(IDC_SEC_AT_LEAST_SPIN, kMaxVisibleItemsSpin);
        const bool all = section_->MinItems == -1;
        Check(IDC_SEC_ALL_ITEMS, all);
        Check(IDC_SEC_AT_LEAST, !all);
        SetNumber(IDC_SEC_AT_LEAST_COUNT, all ? 1 : section_->MinItems);
        const int width_radio = section_->EqualWidths              ? IDC_SEC_EQUAL_SIZES
                                : section_->UseTightItemWidthBuffer ? IDC_SEC_FIT_CONTENT
                                                                    : IDC_SEC_LARGE_SPACING;
        for (int id : {IDC_SEC_FIT_CONTENT, IDC_SEC_LARGE_SPACING, IDC_SEC_EQUAL_SIZES})
            Check(id, id == width_radio);
        Check(IDC_SEC_MULTIPLE_LINES, section_->AllowMultipleRowsCols);
        Check(IDC_SEC_CENTER_ITEMS, section_->CenterItems);
        Check(IDC_SEC_MAXIMIZE_ITEMS, section_->MaxmizeItems);
        EnableCenterItems();
    }

    void EnableCenterItems() {
        Enable(IDC_SEC_CENTER_ITEMS, section_->AllowMultipleRowsCols && !section_->MaxmizeItems);
    }

    bool ApplyArrangement(int id, int code) {
        switch (id) {
        case IDC_SEC_RESIZABLE:
            StoreFlag(&section_->bResizable, Checked(id));
            return true;
        case IDC_SEC_ALL_ITEMS:
            if (!Checked(id)) return true;
            section_->MinItems = -1;
            Modified();
            Relayout();
            return true;
        case IDC_SEC_AT_LEAST:
            if (Checked(id)) TakeVisibleItems();
            return true;
        case IDC_SEC_AT_LEAST_COUNT:
            if (Checked(IDC_SEC_AT_LEAST)) TakeVisibleItems();
            return true;
        case IDC_SEC_FIT_CONTENT:
            SetItemWidths(TRUE, FALSE);
            return true;
        case IDC_SEC_LARGE_SPACING:
            SetItemWidths(FALSE, FALSE);
            return true;
        case IDC_SEC_EQUAL_SIZES:
            SetItemWidths(section_->UseTightItemWidthBuffer, TRUE);
            return true;
        case IDC_SEC_MULTIPLE_LINES:
            StoreFlag(&section_->AllowMultipleRowsCols, Checked(id));
            EnableCenterItems();
            return true;
        case IDC_SEC_CENTER_ITEMS:
            StoreFlag(&section_->CenterItems, Checked(id));
            return true;
        case IDC_SEC_MAXIMIZE_ITEMS:
            StoreFlag(&section_->MaxmizeItems, Checked(id));
            EnableCenterItems();
            return true;
        default:
            return false;
        }
    }

    void StoreFlag(BOOL* field, bool on) {
        *field = on ? TRUE : FALSE;
        Modified();
        Relayout();
    }

    // "Show at least n items": 0 (or nothing) counts as 1 and the field says so.
    void TakeVisibleItems() {
        int count = 0;
        Number(IDC_SEC_AT_LEAST_COUNT, &count);
        if (count < 1) {
            count = 1;
            SetNumber(IDC_SEC_AT_LEAST_COUNT, 1);   // its own EN_UPDATE finds 1 and stores 1
        }
        section_->MinItems = count;
        Modified();
        Relayout();
    }

    void SetItemWidths(BOOL tight, BOOL equal) {
        if (!Checked(equal ? IDC_SEC_EQUAL_SIZES : tight ? IDC_SEC_FIT_CONTENT : IDC_SEC_LARGE_SPACING))
            return;
        if (tight == section_->UseTightItemWidthBuffer && equal == section_->EqualWidths) return;
        section_->UseTightItemWidthBuffer = tight;
        section_->EqualWidths = equal;
        Modified();
        Relayout();
    }

    // ---- Extra Options ----------------------------------------------------------------------
    void FillExtra() {
        if (!Has(IDC_SEC_DOWN_ARROW)) return;
        Check(IDC_SEC_DOWN_ARROW, section_->UseDownArrow);
        Check(IDC_SEC_SCROLLERS, !section_->UseDownArrow);
        SpinRange(IDC_SEC_MIN_SIZE_SPIN, kMaxSpin);
        SpinRange(IDC_SEC_MAX_SIZE_SPIN, kMaxSpin);
        // An unchecked minimum is stored as 1: 1 and below show unchecked.
        const bool minimum = section_->MinItemWidth > 1;
        Check(IDC_SEC_MIN_SIZE, minimum);
        SetNumber(IDC_SEC_MIN_SIZE_VALUE, minimum ? section_->MinItemWidth : kShownMinimumWhenOff);
        const bool maximum = section_->MaxItemWidth != kNoMaximumItemWidth;
        Check(IDC_SEC_MAX_SIZE, maximum);
        SetNumber(IDC_SEC_MAX_SIZE_VALUE, maximum ? section_->MaxItemWidth : kShownMaximumWhenOff);
        Check(IDC_SEC_POPUP_ARROWS, section_->AlwaysShowPopupArrows);
    }

    bool ApplyExtra(int id) {
        switch (id) {
        case IDC_SEC_DOWN_ARROW:
        case IDC_SEC_SCROLLERS:
            if (!Checked(id)) return true;
            section_->UseDownArrow = id == IDC_SEC_DOWN_ARROW ? TRUE : FALSE;
            Modified();
            Relayout();
            return true;
        case IDC_SEC_MIN_SIZE:
        case IDC_SEC_MIN_SIZE_VALUE:
            if (id == IDC_SEC_MIN_SIZE || Checked(IDC_SEC_MIN_SIZE))
                TakeItemSize(IDC_SEC_MIN_SIZE, IDC_SEC_MIN_SIZE_VALUE, 0, &section_->MinItemWidth);
            return true;
        case IDC_SEC_MAX_SIZE:
        case IDC_SEC_MAX_SIZE_VALUE:
            if (id == IDC_SEC_MAX_SIZE || Checked(IDC_SEC_MAX_SIZE))
                TakeItemSize(IDC_SEC_MAX_SIZE, IDC_SEC_MAX_SIZE_VALUE, kNoMaximumItemWidth,
                             &section_->MaxItemWidth);
            return true;
        case IDC_SEC_POPUP_ARROWS:
            StoreFlag(&section_->AlwaysShowPopupArrows, Checked(id));
            return true;
        default:
            return false;
        }
    }

    // Checked: the number typed (a negative one changes nothing); unchecked:
    // the value that means "none". Below 1 is stored as 1.
    void TakeItemSize(int check, int field, int when_off, int* target) {
        int value = when_off;
        if (Checked(check)) {
            if (!Number(field, &value) || value < 0) return;
        }
        if (value < 1) value = 1;
        *target = value;
        Modified();
        Relayout();
    }

    CVellumMenuSection* section_;
};

// The base Behavior page: only its text.
class SectionBehaviorPage : public ConfigPage {
public:
    explicit SectionBehaviorPage(CVellumMenuSection* section)
        : ConfigPage(PageObjectKind::kSection, section, PageSlotsOf(section), kSectionBehaviorPage) {}

protected:
    void Fill() override {}
    void Apply(int, int) override {}
};

bool SameStyle(const CVellumMenuSection* a, const CVellumMenuSection* b) {
    return a && b && a->iSectionSkin == b->iSectionSkin;
}

void TakeCombine(CVellumMenuSection* neighbour, BOOL combine) {
    neighbour->bCombineSkin = combine;
    HWND page = neighbour->m_pages[kSectionDisplayPage];
    if (page && ::IsWindow(page)) ::SendMessageA(page, WM_COMMAND, IDOK, 0);
}

}  // namespace

HWND OpenSectionPage(CVellumMenuSection* section, int slot, HWND parent) {
    if (!section || !IsLiveSection(section)) return nullptr;
    const bool vertical = section->m_pBar && section->m_pBar->DisplayVertically;
    const HINSTANCE module = ResourceModuleOf(section->m_pBar);
    int template_id;
    switch (slot) {
    case kSectionDisplayPage: template_id = IDD_SECTION_DISPLAY; break;
    case kSectionArrangementPage:
        template_id = vertical ? IDD_SECTION_ARRANGE_VERTICAL : IDD_SECTION_ARRANGE_HORIZONTAL;
        break;
    case kSectionExtraPage: template_id = IDD_SECTION_EXTRA; break;
    case kSectionBehaviorPage:
        return ConfigPage::Open(std::make_unique<SectionBehaviorPage>(section), module,
                                IDD_SECTION_BEHAVIOR, parent);
    default:
        return nullptr;
    }
    return ConfigPage::Open(std::make_unique<SectionPage>(section, slot), module, template_id,
                            parent);
}

void CombineSectionWithNeighbours(CVellumMenuSection* section, bool combine) {
    if (!section) return;
    const BOOL value = combine ? TRUE : FALSE;
    section->bCombineSkin = value;
    CVellumMenuObject* bar = section->m_pBar;
    if (!bar) return;
    for (CVellumMenuSection* s = bar->GetNextSection(section); SameStyle(s, section);
         s = bar->GetNextSection(s))
        TakeCombine(s, value);
    for (CVellumMenuSection* s = bar->GetPreviousSection(section); SameStyle(s, section);
         s = bar->GetPreviousSection(s))
        TakeCombine(s, value);
    bar->SetModified();
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
}

std::string SectionStyleEntry(const char* name, int number) {
    char text[300];
    if (name && name[0])
        tess::FormatText(text, sizeof(text), "%s (#%i)", name, number);
    else
        tess::FormatText(text, sizeof(text), "(#%i)", number);
    return text;
}
