// The popup item's page (dialog 1091): its settings, the two lists of open
// and listed bars, and "Create New and Add", which makes a new bar and
// lists it.
#include <memory>
#include <new>
#include <string>
#include <vector>
#include "model/behavior_classes.h"
#include "model/resource_module.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "shell/config_pages.h"
#include "shell/theme_editor.h"
#include "skins/skin_cache.h"
#include "skins/skin_record.h"
#include "types/popup_item.h"
#include "types/popup_item_internal.h"
#include "types/popup_item_resources.h"
#include "util/text.h"

namespace {

const char* const kDirectionTexts[] = {
    "Default (automatic)",
    "Up... and align left edge to item",
    "Up... and align right edge to item",
    "Down... and align left edge to item",
    "Down... and align right edge to item",
    "Left... and align top edge to item",
    "Left... and align bottom edge to item",
    "Right... and align top edge to item",
    "Right... and align bottom edge to item",
    "Move popups to the center of the screen.",
};

const char kSeparatorLine[] = " ------------------ ";
const char kListFullCaption[] = "Tessellar - Bars to popup";
const char kListFullText[] = "This item already shows 20 bars; remove one before adding another.";

constexpr int kDialogTextSize = 1060;

std::string SelectedText(HWND list) {
    int sel = static_cast<int>(::SendMessageA(list, LB_GETCURSEL, 0, 0));
    if (sel < 0) return std::string();
    int length = static_cast<int>(::SendMessageA(list, LB_GETTEXTLEN, sel, 0));
    if (length < 0 || length >= kDialogTextSize) return std::string();
    char text[kDialogTextSize] = "";
    ::SendMessageA(list, LB_GETTEXT, sel, reinterpret_cast<LPARAM>(text));
    return text;
}

void FillList(HWND list, const std::vector<std::string>& lines, const std::string& keep) {
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& line : lines)
        ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    if (!keep.empty())
        ::SendMessageA(list, LB_SELECTSTRING, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(keep.c_str()));
}

bool IsTitleTaken(const char* title) {
    for (CVellumMenuObject* bar : OpenUserBars())
        if (lstrcmpiA(bar->Title, title) == 0) return true;
    return false;
}

void RefuseFullList(HWND page) {
    ::MessageBoxA(page, kListFullText, kListFullCaption, MB_OK | MB_ICONINFORMATION);
}

// ---- the page ----------------------------------------------------------------------------------

class PopupPage : public ConfigPage {
public:
    explicit PopupPage(CVellumMenuItem_Popup* item)
        : ConfigPage(PageObjectKind::kItem, item, ConfigPageSlots(&item->m_page, 1, nullptr), 0),
          item_(item) {}

private:
    void Fill() override {
        Check(IDC_POPUP_VOLATILE, item_->Volitle != FALSE);
        Check(IDC_POPUP_REPOSITION, item_->AutoReposition != FALSE);
        Check(IDC_POPUP_TOGGLE, item_->Toggle != FALSE);
        Check(IDC_POPUP_ALIGN_WITH_BAR, item_->AlignPopupNextToBar != FALSE);
        for (const char* text : kDirectionTexts) AddComboRow(IDC_POPUP_DIRECTION, text, 0);
        SelectCombo(IDC_POPUP_DIRECTION, item_->PopupDirection);
        EnableRepositionControls();
        FillBehaviorClassCombo(item_, Control(IDC_POPUP_BEHAVIOR));
        item_->FillBarLists(Window(), 1, 0);
    }

    void Apply(int id, int code) override {
        switch (id) {
        case IDC_POPUP_VOLATILE:
            item_->Volitle = Checked(id);
            Modified();
            break;
        case IDC_POPUP_REPOSITION:
            item_->AutoReposition = Checked(id);
            EnableRepositionControls();
            Modified();
            break;
        case IDC_POPUP_TOGGLE:
            item_->Toggle = Checked(id);
            Modified();
            break;
        case IDC_POPUP_ALIGN_WITH_BAR: {
            BOOL align = Checked(id) ? TRUE : FALSE;
            if (align != item_->AlignPopupNextToBar) {
                item_->AlignPopupNextToBar = align;
                Modified();
            }
            break;
        }
        case IDC_POPUP_DIRECTION:
            if (code == CBN_SELCHANGE) {
                int sel = ComboSelection(IDC_POPUP_DIRECTION);
                if (sel >= kPopupAutomatic && sel <= kPopupCentred) item_->PopupDirection = sel;
                Modified();
            }
            break;
        case IDC_POPUP_BEHAVIOR:
            if (code == CBN_SELCHANGE) ApplyBehaviorClassChange(item_, Control(IDC_POPUP_BEHAVIOR));
            break;
        case IDC_POPUP_ADD:
            Add();
            break;
        case IDC_POPUP_REMOVE:
            Remove();
            break;
        case IDC_POPUP_CREATE_NEW:
            CreateNewAndAdd();
            break;
        default:
            break;
        }
    }

    // Shown again: other bars may have come, gone or been renamed meanwhile.
    INT_PTR OnPageMessage(UINT msg, WPARAM wp, LPARAM) override {
        if (msg == WM_SHOWWINDOW && wp) item_->FillBarLists(Window(), 1, 1);
        return FALSE;
    }

    void Modified() {
        if (item_->m_pBar) item_->m_pBar->SetModified();
    }

    void EnableRepositionControls() {
        const bool on = item_->AutoReposition != FALSE;
        for (int id : {IDC_POPUP_DIRECTION_LABEL, IDC_POPUP_DIRECTION, IDC_POPUP_ALIGN_WITH_BAR})
            Enable(id, on);
    }

    void Add() {
        std::string name = SelectedText(Control(IDC_POPUP_AVAILABLE));
        if (name.empty() || name == kSeparatorLine) return;
        if (item_->nBarsToPopup >= kMaxListedBars) {
            RefuseFullList(Window());
            return;
        }
        if (!item_->AddListedBar(name.c_str())) return;
        item_->UpdateListedBars(1);
        item_->FillBarLists(Window(), 1, 1);
        Modified();
    }

    void Remove() {
        std::string name = SelectedText(Control(IDC_POPUP_LISTED));
        if (name.empty() || !item_->RemoveListedBar(name.c_str())) return;
        item_->UpdateListedBars(1);
        item_->FillBarLists(Window(), 1, 1);
        Modified();
    }

    void CreateNewAndAdd();

    CVellumMenuItem_Popup* item_;
};

void PopupPage::CreateNewAndAdd() {
    CVellumMenuObject* owner = item_->m_pBar;
    if (!owner) return;
    if (item_->nBarsToPopup >= kMaxListedBars) {
        RefuseFullList(Window());
        return;
    }
    char base[kListedBarNameSize];
    tess::CopyText(base, item_->m_title && item_->m_title[0] ? item_->m_title : "New Popup Bar");
    char title[kListedBarNameSize];
    tess::CopyText(title, base);
    for (int i = 2; IsTitleTaken(title); ++i)
        tess::FormatText(title, sizeof(title), "%s (%i)", base, i);

    CVellumMenuObject* bar = new (std::nothrow) CVellumMenuObject(owner->m_hMainWindow);
    if (!bar) return;
    bar->Alpha = owner->Alpha;
    bar->SetModified();
    bar->DisplayVertically = TRUE;
    bar->WidthResizableWhenVertical = FALSE;
    if (owner->m_skin) {
        if (SkinRecord* companion = GetCompanionSkin(owner->m_skin, item_->m_companionSkinKind)) {
            tess::CopyText(bar->m_pendingSkinPath, companion->path);
            bar->ReloadSkin(0);
            ReleaseSkin(companion);
        }
    }
    bar->SetTitle(title);
    bar->m_associatedPopupItem = item_;

    // The new name goes first; the former first moves to the end.
    int count = item_->nBarsToPopup;
    if (count > 0) tess::CopyText(item_->szBarsToPopup[count], item_->szBarsToPopup[0]);
    tess::CopyText(item_->szBarsToPopup[0], title);
    item_->nBarsToPopup = count + 1;

    int slot = bar->AddSection(const_cast<char*>(""), -1, 0);
    if (slot >= 0 && bar->m_sections[slot]) {
        CVellumMenuSection* section = bar->m_sections[slot];
        tess::CopyText(section->Title, "Main Section");
        section->EqualWidths = TRUE;
        section->MinItems = 0;
        int index = section->AddItem(const_cast<char*>("Shortcut"), -1, 0);
        if (index >= 0 && index < kMaxItems && section->m_items[index])
            section->m_items[index]->SetItemTitle(const_cast<char*>("Add New Items Here!"), 0);
    }
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    bar->UpdatePos();
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);

    // Placed as if the list held only the new bar.
    const int listed = item_->nBarsToPopup;
    item_->nBarsToPopup = 1;
    item_->PlaceLayerBesideItem(-1, item_->PopupDirection);
    item_->nBarsToPopup = listed;

    bar->Show(1);
    SelectInThemeEditor(bar, 0);
    bar->SetModified();
    owner->SetModified();
    item_->FillBarLists(Window(), 1, 1);
}

}  // namespace

HWND CVellumMenuItem_Popup::CallConfigDialogEx(HWND parent) {
    if (m_plain) return CVellumMenuItem::CallConfigDialogEx(parent);
    return ConfigPage::Open(std::make_unique<PopupPage>(this), ResourceModuleOf(m_pBar),
                            kPopupPageDialogId, parent);
}

void CVellumMenuItem_Popup::FillBarLists(HWND page, int, int keepSelections) {
    if (!page) return;
    HWND available = ::GetDlgItem(page, IDC_POPUP_AVAILABLE);
    HWND listed = ::GetDlgItem(page, IDC_POPUP_LISTED);
    std::string keep_available = keepSelections ? SelectedText(available) : std::string();
    std::string keep_listed = keepSelections ? SelectedText(listed) : std::string();

    std::vector<std::string> mine, others;
    for (CVellumMenuObject* bar : OpenUserBars()) {
        if (bar == m_pBar || IsBarInPopupList(bar->m_hWnd)) continue;
        if (!bar->m_associatedPopupItem || bar->m_associatedPopupItem == this)
            mine.push_back(bar->Title);
        else
            others.push_back(bar->Title);
    }
    std::vector<std::string> lines = mine;
    if (!mine.empty() || !others.empty()) {
        lines.push_back(kSeparatorLine);
        lines.insert(lines.end(), others.begin(), others.end());
    }
    FillList(available, lines, keep_available);

    std::vector<std::string> names;
    for (int i = 0; i < nBarsToPopup && i < kMaxListedBars; ++i) names.push_back(szBarsToPopup[i]);
    FillList(listed, names, keep_listed);
}
